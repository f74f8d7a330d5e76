// Fuzz target: the PCX reader ("pcx", "pcc", "scr"), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("pcx", data, size);
    return 0;
}
