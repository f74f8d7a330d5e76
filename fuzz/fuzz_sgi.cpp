// Fuzz target: the SGI reader ("sgi", "rgb", "rgba", "bw"), through the format table.
#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("sgi", data, size);
    return 0;
}
