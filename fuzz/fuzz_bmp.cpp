// Fuzz target: the Windows bitmap reader ("bmp", "dib", "rle"), through the
// format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("bmp", data, size);
    return 0;
}
