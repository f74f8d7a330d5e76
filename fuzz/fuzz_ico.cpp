// Fuzz target: the icon reader (BMP and PNG entries), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("ico", data, size);
    return 0;
}
