#pragma once
// Shared helpers of the engine tests: stand-in printers, pages as pixels,
// PDF files as pixels and page counts.

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QString>
#include <memory>

#include "platform/printers.h"
#include "platform/scripteddialogs.h"
#include "support/pdfpages.h"
#include "support/qtprinters.h"
#include "support/testfiles.h"

namespace tessaria {
class TPreviewPrinter;
}

namespace tessaria::test {

// 600 dpi US Letter with an unprintable strip of 0.25 in. left, 0.2 in. top.
TDeviceValues Letter600();

// Installs a printer seam for one test and brings the previous one back.
class PrintersGuard {
public:
    explicit PrintersGuard(std::unique_ptr<TPrinters> printers);
    ~PrintersGuard();
    PrintersGuard(const PrintersGuard&) = delete;
    PrintersGuard& operator=(const PrintersGuard&) = delete;

private:
    std::unique_ptr<TPrinters> Previous_;
};

// A test with a stand-in printer, scripted dialogs and an empty settings store.
class StandInTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Replaces the stand-in (a new printer, or none with an empty name).
    TStandInPrinters& UsePrinter(const QString& name, const TDeviceValues& values);

    TempDir Dir;
    TempDir Config;
    std::unique_ptr<TScriptedDialogs::TGuard> DialogsGuard;
    TScriptedDialogs* Dialogs = nullptr;
    std::unique_ptr<PrintersGuard> Guard;
    TStandInPrinters* StandIn = nullptr;
};

// A recorded page replayed into an image of its sheet at `scale`.
QImage RenderRecordedPage(const TPreviewPrinter& engine, int index, double scale);

} // namespace tessaria::test
