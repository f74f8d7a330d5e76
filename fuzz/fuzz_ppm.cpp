// Fuzz target: the Netpbm reader ("pbm", "pgm", "ppm"), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("ppm", data, size);
    return 0;
}
