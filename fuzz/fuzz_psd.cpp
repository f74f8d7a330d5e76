// Fuzz target: the Photoshop reader ("psd", "pdd"), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("psd", data, size);
    return 0;
}
