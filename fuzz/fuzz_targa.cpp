// Fuzz target: the Targa reader ("tga", "win", "vst", "vda", "icb"), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("tga", data, size);
    return 0;
}
