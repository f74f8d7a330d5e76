// main() for widget tests: a QApplication on the offscreen platform, so that no
// test needs a display, and the format table with the program's metafile rows.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "imageio/qt/metafileimage.h"

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessaria");
    // The format table as the program has it.
    tessaria::RegisterMetafileFormats();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
