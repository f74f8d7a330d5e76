// Fuzz target: the Autodesk reader ("pic", "cel"), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("pic", data, size);
    return 0;
}
