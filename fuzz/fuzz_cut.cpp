// Fuzz target: the Dr. Halo CUT reader ("cut"; no palette file), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("cut", data, size);
    return 0;
}
