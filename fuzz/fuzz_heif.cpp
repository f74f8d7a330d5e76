// Fuzz target: the HEIF and AVIF reader (libheif; AVIF seeds go through the same class), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("heic", data, size);
    return 0;
}
