#pragma once
// A main window on a fresh, empty settings store, with scripted dialogs.

#include <gtest/gtest.h>

#include "support/qtprinters.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/forms.h"
#include "app/utessaria.h"
#include "platform/printers.h"
#include "platform/scripteddialogs.h"
#include "platform/settingsstore.h"
#include "support/testfiles.h"

namespace tessaria::test {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", Config.Path().c_str(), 1);
        // The user's data (bookmarks) and cache (shared thumbnails) as well.
        setenv("XDG_DATA_HOME", (Config.Path() / "data").c_str(), 1);
        setenv("XDG_CACHE_HOME", (Config.Path() / "cache").c_str(), 1);
        Dialogs = TScriptedDialogs::Install(DialogsGuard);
        // Each test is a run of its own.
        ForgetToldSettingsProblems();
        // A known printer, whatever the machine has: Letter at 300 dpi.
        UsePrinter({300, 300, 2550, 3300, 0, 0});
    }
    // Stands in for the current printer from here on (before the window is made).
    void UsePrinter(const TDeviceValues& portrait)
    {
        std::filesystem::create_directories(Config.File("jobs"));
        PreviousPrinters = SetPrinters(std::make_unique<TStandInPrinters>(
            "Test Printer", portrait, QString::fromStdString(Config.File("jobs"))));
        if (!KeptPrinters)
            KeptPrinters = std::move(PreviousPrinters);
    }

    void TearDown() override
    {
        Window.reset();
        DestroyStartupForms();
        DialogsGuard.reset();
        if (KeptPrinters)
            SetPrinters(std::move(KeptPrinters));
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_CACHE_HOME");
    }

    TfrmTessaria& CreateWindow()
    {
        // As the program starts: the main window, then the other windows.
        Window = std::make_unique<TfrmTessaria>();
        CreateStartupForms();
        return *Window;
    }
    // The help file as shipped, since test programs do not sit beside it.
    static QString ShippedHelpFile()
    {
        return QString::fromStdString((SourceDir() / "resources" / "tessaria.hlp").string());
    }
    TfrmTessaria& ShowWindow()
    {
        CreateWindow().show();
        QApplication::processEvents();
        return *Window;
    }

    static QString Key() { return QStringLiteral("Software\\Corvanel\\Tessarine"); }

    TempDir Config;
    std::unique_ptr<TScriptedDialogs::TGuard> DialogsGuard;
    TScriptedDialogs* Dialogs = nullptr;
    std::unique_ptr<TfrmTessaria> Window;
    std::unique_ptr<TPrinters> KeptPrinters;   // the machine's own, given back at the end
    std::unique_ptr<TPrinters> PreviousPrinters;
};

} // namespace tessaria::test
