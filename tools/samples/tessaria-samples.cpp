// tessaria-samples: makes the sample pictures and the sample layout that the
// build folder and the installed program carry.
//
//   tessaria-samples pictures FOLDER
//   tessaria-samples layout PICTURE_FOLDER OUTPUT.tsd
//
// The layout holds full paths, so it is written for the folder where its
// pictures will be found when it is opened (the install step writes its own).
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "document/documentwriter.h"
#include "samplelayout.h"
#include "samplepictures.h"

using namespace tessaria;

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "pictures" && argc == 3) {
            if (!getenv("QT_QPA_PLATFORM"))
                setenv("QT_QPA_PLATFORM", "offscreen", 1);
            QGuiApplication app(argc, argv);
            WriteSamplePictures(QString::fromLocal8Bit(argv[2]));
            return 0;
        }
        if (command == "layout" && argc == 4) {
            SaveDocument(SampleLayout(argv[2]), argv[3]);
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessaria-samples: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: tessaria-samples pictures FOLDER\n"
                         "       tessaria-samples layout PICTURE_FOLDER OUTPUT.tsd\n");
    return 2;
}
