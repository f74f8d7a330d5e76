// Fuzz target: the metafile reader ("wmf", "emf"; the bytes decide which),
// parsed and drawn, text included.
#include <cstdlib>
#include <memory>

#include <QGuiApplication>

#include "fuzzreader.h"
#include "imageio/qt/metafileimage.h"

namespace {

// Fonts need an application object; it lives for the whole run and goes
// at exit, so that the leak checker sees the font caches freed.
std::unique_ptr<QGuiApplication> MakeApplication()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz_metafile";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

// Fontconfig keeps what Qt's font fallback asked of it past Qt's own
// clean-up; that is the library's cache, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::unique_ptr<QGuiApplication> app = MakeApplication();
    (void)app;
    tessaria::RegisterMetafileFormats();
    tessaria::fuzz::LoadWithReader("wmf", data, size);
    return 0;
}
