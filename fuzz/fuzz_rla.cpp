// Fuzz target: the RLA reader ("rla", "rpf"), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("rla", data, size);
    return 0;
}
