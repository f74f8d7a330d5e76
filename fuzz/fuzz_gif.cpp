// Fuzz target: the GIF reader ("gif"), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("gif", data, size);
    return 0;
}
