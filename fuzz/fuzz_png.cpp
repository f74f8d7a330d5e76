// Fuzz target: the PNG reader (libpng behind our error handling), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("png", data, size);
    return 0;
}
