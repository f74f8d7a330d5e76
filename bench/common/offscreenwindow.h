#pragma once
// A benchmark that drives the program's own windows in its process: the
// application on Qt's offscreen platform, as the program starts itself, with
// the dialogs answered by script.

#include <cstdlib>
#include <memory>

#include "imageio/qt/metafileimage.h"
#include "platform/application.h"
#include "platform/scripteddialogs.h"

namespace tessaria::bench {

class TOffscreenProgram {
public:
    TOffscreenProgram(int& argc, char** argv) : App_((setenv("QT_QPA_PLATFORM", "offscreen", 1), argc), argv)
    {
        RegisterMetafileFormats();
        SetApplicationTitle("Tessaria");
        Dialogs = TScriptedDialogs::Install(Guard_);
    }
    TScriptedDialogs* Dialogs = nullptr;

private:
    TApplication App_;
    std::unique_ptr<TScriptedDialogs::TGuard> Guard_;
};

} // namespace tessaria::bench
