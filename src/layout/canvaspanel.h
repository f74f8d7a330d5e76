#pragma once
// A page surface: a white (or, for the drop shadow, grey) panel with a
// raised bevel and an optional grid of lines every Graularity pixels.
// Its size and its grid are page pixels; the screen shows them at the
// view's scale, and its boxes place themselves by the same scale.

#include <QMimeData>
#include <QWidget>

namespace tessaria {

class TCanvasPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool ShowGrid READ ShowGrid WRITE SetShowGrid)
    Q_PROPERTY(int Graularity READ Graularity WRITE SetGraularity)
public:
    explicit TCanvasPanel(QWidget* parent = nullptr);

    bool ShowGrid() const { return ShowGrid_; }
    // Switching the grid on with no spacing yet gives 10 pixels.
    void SetShowGrid(bool value);
    int Graularity() const { return Graularity_; }
    // Stored as at least 2.
    void SetGraularity(int value);

    // The page's size in page pixels; the widget is that at Scale().
    QSize PageSize() const;
    void SetPageSize(const QSize& size);
    int PageWidth() const { return PageSize().width(); }
    int PageHeight() const { return PageSize().height(); }
    // Screen pixels per page pixel; the page's boxes follow it.
    double Scale() const { return Scale_; }
    void SetScale(double scale);

    // A thin line along the edge instead of the bevel: the printable area's
    // edge on a sheet of paper (it is not printed).
    bool MarginLine() const { return MarginLine_; }
    void SetMarginLine(bool value);

    QColor Color() const { return Color_; }
    void SetColor(const QColor& colour);
    bool Bevel() const { return Bevel_; }
    void SetBevel(bool raised);

signals:
    void Click();
    // Positions are page pixels.
    void MouseUp(Qt::MouseButton button, QPoint position);
    // A drag enters or moves over the page; set accept to take it.
    void DragOver(const QMimeData* data, bool& accept);
    void DragDrop(const QMimeData* data, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // A drag that reaches the page from a text box on it (a caption or a free
    // text, which take no pictures) is no drop onto the page.
    bool OnTextBox(QPoint at) const;

    QPoint ToPage(QPointF screen) const;

    mutable QSize PageSize_;
    mutable QSize Placed_; // the widget size PageSize_ was shown at
    double Scale_ = 1;
    bool MarginLine_ = false;
    bool ShowGrid_ = false;
    int Graularity_ = 0;
    QColor Color_ = Qt::white;
    bool Bevel_ = true;
    bool Pressed_ = false;
};

} // namespace tessaria
