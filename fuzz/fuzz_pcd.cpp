// Fuzz target: the Photo-CD reader ("pcd"), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("pcd", data, size);
    return 0;
}
