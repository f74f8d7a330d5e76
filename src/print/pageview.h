#pragma once
// A recorded page shown on the screen as a white sheet, scaled to the widget,
// and a plain window that shows every page of an engine, one under the other.

#include <QWidget>

class QPicture;

namespace tessaria {

class TPreviewPrinter;

class TPageView : public QWidget {
    Q_OBJECT
public:
    // The sheet is sheetWidth x sheetHeight device pixels of the page.
    TPageView(const QPicture& page, int sheetWidth, int sheetHeight, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QPicture& Page_;
    int SheetWidth_;
    int SheetHeight_;
};

// Draws a recorded page of a sheet into a rectangle of the painter's device.
void PaintPage(QPainter& painter, const QPicture& page, int sheetWidth, int sheetHeight, const QRect& target);

// Shows the engine's pages modally in a plain window; gives its result.
int ShowPagesSimply(TPreviewPrinter& engine);

} // namespace tessaria
