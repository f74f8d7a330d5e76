// Fuzz target: the WebP reader (libwebp), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("webp", data, size);
    return 0;
}
