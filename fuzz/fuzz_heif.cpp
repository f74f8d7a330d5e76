// Fuzz target: the HEIF and AVIF reader (libheif; AVIF seeds go through the
// same class), through the format table.
#include "fuzzreader.h"

// libheif hands dav1d an empty tile of a damaged AVIF, which dav1d refuses
// and leaks 40 bytes of; the leak is theirs, and once per damaged file.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdav1d.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaria::fuzz::LoadWithReader("heic", data, size);
    return 0;
}
