#include "layout/boxposition.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "layout/layoutrules.h"

namespace tessaria {

namespace {
// Far beyond any sheet, and never a size that overflows page pixels.
constexpr double LargestInches = 1000;
} // namespace

TfrmBoxPosition::TfrmBoxPosition(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmBoxPosition");
    setWindowTitle("Position and Size");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto field = [this, form](const char* name, const QString& label) {
        auto* edit = new QDoubleSpinBox(this);
        edit->setObjectName(name);
        form->addRow(label, edit);
        return edit;
    };
    txtLeft = field("txtLeft", "Left");
    txtTop = field("txtTop", "Top");
    txtWidth = field("txtWidth", "Width");
    txtHeight = field("txtHeight", "Height");
    lblUnit = new QLabel(this);
    lblUnit->setObjectName("lblUnit");
    form->addRow(QString(), lblUnit);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtnOK = new QPushButton("OK", this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmBoxPosition::Prepare(const QRect& bounds, int layoutPPI, bool millimetres, int least, bool placeFixed)
{
    txtLeft->setEnabled(!placeFixed);
    txtTop->setEnabled(!placeFixed);
    LayoutPPI_ = layoutPPI;
    Millimetres_ = millimetres;
    const int decimals = millimetres ? 1 : 3;
    const double largest = millimetres ? LargestInches * 25.4 : LargestInches;
    const double step = millimetres ? 1.0 : 0.1;
    for (QDoubleSpinBox* edit : {txtLeft, txtTop, txtWidth, txtHeight}) {
        edit->setDecimals(decimals);
        edit->setSingleStep(step);
        edit->setRange(-largest, largest);
    }
    // A size that rounds below the least one would not be taken.
    const double smallest = UnitsFromPixels(least, layoutPPI, millimetres);
    txtWidth->setMinimum(smallest);
    txtHeight->setMinimum(smallest);
    txtLeft->setValue(UnitsFromPixels(bounds.left(), layoutPPI, millimetres));
    txtTop->setValue(UnitsFromPixels(bounds.top(), layoutPPI, millimetres));
    txtWidth->setValue(UnitsFromPixels(bounds.width(), layoutPPI, millimetres));
    txtHeight->setValue(UnitsFromPixels(bounds.height(), layoutPPI, millimetres));
    lblUnit->setText(millimetres ? "millimetres" : "inches");
}

QRect TfrmBoxPosition::Bounds() const
{
    auto px = [this](const QDoubleSpinBox* edit) { return PixelsFromUnits(edit->value(), LayoutPPI_, Millimetres_); };
    return QRect(px(txtLeft), px(txtTop), px(txtWidth), px(txtHeight));
}

} // namespace tessaria
