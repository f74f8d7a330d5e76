// main() for widget tests: a QApplication on the offscreen platform, so that no
// test needs a display.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessaria");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
