#pragma once
// A small dialog to type a box's position and size on paper, in the locale's
// unit; the status bar's position read-out opens it with a double click.

#include <QDialog>

class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace tessaria {

class TfrmBoxPosition : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBoxPosition(QWidget* parent = nullptr);

    // Fills the fields from page-pixel bounds; the smallest size allowed is
    // `least` page pixels. A caption's place is under its picture: then only
    // its size can be typed.
    void Prepare(const QRect& bounds, int layoutPPI, bool millimetres, int least, bool placeFixed = false);
    // The typed values back in page pixels.
    QRect Bounds() const;

    QDoubleSpinBox* txtLeft;
    QDoubleSpinBox* txtTop;
    QDoubleSpinBox* txtWidth;
    QDoubleSpinBox* txtHeight;
    QLabel* lblUnit;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

private:
    int LayoutPPI_ = 0;
    bool Millimetres_ = false;
};

} // namespace tessaria
