// Fuzz target: the TIFF reader ("tif", "tiff"), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("tif", data, size);
    return 0;
}
