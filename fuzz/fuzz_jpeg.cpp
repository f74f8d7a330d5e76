// Fuzz target: the JPEG reader (libjpeg behind our error handling), through
// the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("jpeg", data, size);
    return 0;
}
