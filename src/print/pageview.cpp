#include "print/pageview.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPainter>
#include <QPicture>
#include <QScrollArea>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "print/metafilecanvas.h"
#include "print/prevprinter.h"

namespace tessaria {

void PaintPage(QPainter& painter, const QPicture& page, int sheetWidth, int sheetHeight, const QRect& target)
{
    if (sheetWidth <= 0 || sheetHeight <= 0 || target.isEmpty())
        return;
    painter.fillRect(target, Qt::white);
    QTransform t;
    t.translate(target.left(), target.top());
    t.scale(double(target.width()) / sheetWidth, double(target.height()) / sheetHeight);
    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PlayPage(painter, page, t);
    painter.restore();
}

TPageView::TPageView(const QPicture& page, int sheetWidth, int sheetHeight, QWidget* parent)
    : QWidget(parent), Page_(page), SheetWidth_(sheetWidth), SheetHeight_(sheetHeight)
{
}

void TPageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintPage(painter, Page_, SheetWidth_, SheetHeight_, rect());
}

int ShowPagesSimply(TPreviewPrinter& engine)
{
    QDialog form;
    form.setObjectName("PreviewForm");
    form.setWindowTitle("Preview Form");
    auto* layout = new QVBoxLayout(&form);
    auto* scroll = new QScrollArea(&form);
    scroll->setBackgroundRole(QPalette::Dark);
    auto* sheets = new QWidget;
    auto* column = new QVBoxLayout(sheets);
    // One sheet as tall as a screen page of some 700 pixels.
    const int height = 700;
    const int width = engine.PhysicalHeight() > 0 ? height * engine.PhysicalWidth() / engine.PhysicalHeight() : height;
    for (int i = 0; i < engine.PageCount(); ++i) {
        auto* view = new TPageView(engine.GetPage(i), engine.PhysicalWidth(), engine.PhysicalHeight(), sheets);
        view->setObjectName(QStringLiteral("Page%1").arg(i + 1));
        view->setFixedSize(width, height);
        column->addWidget(view, 0, Qt::AlignHCenter);
    }
    scroll->setWidget(sheets);
    layout->addWidget(scroll);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &form);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &form, &QDialog::reject);
    layout->addWidget(buttons);
    form.resize(width + 80, height + 80);
    return Dialogs().ExecModal(form);
}

} // namespace tessaria
