#pragma once
// A button that shows a colour and drops down a palette of 4 x 5 colours and
// 8 x 2 custom colours, with an "&Other" button for any colour.

#include <QColor>
#include <QList>
#include <QToolButton>

class QFrame;

namespace tessaria {

class TColorButton : public QToolButton {
    Q_OBJECT
public:
    explicit TColorButton(QWidget* parent = nullptr);

    QColor Color() const { return Color_; }
    void SetColor(const QColor& colour);
    // Row by row, as shown.
    static const QList<QColor>& PaletteColours();
    QList<QColor>& CustomColours() { return Custom_; }

    // The drop-down, built on first use (tests reach its buttons by name:
    // "Palette0" ... "Palette19", "Custom0" ... "Custom15", "OtherButton").
    QFrame* DropDown();
    void ShowDropDown();

signals:
    void ColorChanged(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Choose(const QColor& colour);
    void ChooseOther();

    QColor Color_ = Qt::black;
    QList<QColor> Custom_;
    QFrame* DropDown_ = nullptr;
};

} // namespace tessaria
