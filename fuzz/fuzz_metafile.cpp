// Fuzz target: the metafile reader ("wmf", "emf"; the bytes decide which),
// parsed and drawn, text included.
#include <cstdlib>

#include <QGuiApplication>

#include "fuzzreader.h"
#include "imageio/qt/metafileimage.h"

namespace {

// Fonts need an application object; it lives for the whole run.
QGuiApplication* MakeApplication()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz_metafile";
    static char* argv[] = {name, nullptr};
    return new QGuiApplication(argc, argv);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QGuiApplication* app = MakeApplication();
    (void)app;
    tessaria::RegisterMetafileFormats();
    tessaria::fuzz::LoadWithReader("wmf", data, size);
    return 0;
}
