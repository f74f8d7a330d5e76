#include "enginetest.h"

#include <QPainter>
#include <cstdlib>

#include "print/pageview.h"
#include "print/prevprinter.h"

namespace tessaria::test {

TDeviceValues Letter600()
{
    TDeviceValues v;
    v.PixelsPerInchX = 600;
    v.PixelsPerInchY = 600;
    v.PhysicalWidth = 5100;
    v.PhysicalHeight = 6600;
    v.PhysicalOffsetX = 150;
    v.PhysicalOffsetY = 120;
    return v;
}

PrintersGuard::PrintersGuard(std::unique_ptr<TPrinters> printers) : Previous_(SetPrinters(std::move(printers))) {}

PrintersGuard::~PrintersGuard() { SetPrinters(std::move(Previous_)); }

void StandInTest::SetUp()
{
    setenv("XDG_CONFIG_HOME", Config.Path().c_str(), 1);
    Dialogs = TScriptedDialogs::Install(DialogsGuard);
    UsePrinter("Stand-in", Letter600());
}

void StandInTest::TearDown()
{
    Guard.reset();
    DialogsGuard.reset();
    unsetenv("XDG_CONFIG_HOME");
}

TStandInPrinters& StandInTest::UsePrinter(const QString& name, const TDeviceValues& values)
{
    auto printers = std::make_unique<TStandInPrinters>(name, values, QString::fromStdString(Dir.Path().string()));
    StandIn = printers.get();
    Guard.reset();
    Guard = std::make_unique<PrintersGuard>(std::move(printers));
    return *StandIn;
}

QImage RenderRecordedPage(const TPreviewPrinter& engine, int index, double scale)
{
    const int w = int(engine.PhysicalWidth() * scale);
    const int h = int(engine.PhysicalHeight() * scale);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintPage(painter, engine.GetPage(index), engine.PhysicalWidth(), engine.PhysicalHeight(), QRect(0, 0, w, h));
    return image;
}

} // namespace tessaria::test
