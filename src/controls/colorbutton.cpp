#include "controls/colorbutton.h"

#include <QFrame>
#include <QGridLayout>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/dialogs.h"

namespace tessaria {

namespace {
constexpr int PaletteColumns = 4;
constexpr int CustomColumns = 8;
constexpr int CustomCount = 16;

QToolButton* Swatch(QWidget* parent, const QString& name, const QColor& colour)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setFixedSize(18, 18);
    b->setAutoRaise(false);
    b->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: 1px solid #808080; }").arg(colour.name()));
    return b;
}
} // namespace

TColorButton::TColorButton(QWidget* parent) : QToolButton(parent)
{
    for (int i = 0; i < CustomCount; ++i)
        Custom_ << QColor(Qt::white);
    setMinimumSize(40, 22);
    connect(this, &QToolButton::clicked, this, &TColorButton::ShowDropDown);
}

const QList<QColor>& TColorButton::PaletteColours()
{
    static const QList<QColor> colours = {
        {255, 255, 255}, {255, 0, 0},     {0, 255, 0},     {0, 0, 255},     {191, 215, 191},
        {0, 0, 0},       {127, 0, 0},     {0, 127, 0},     {0, 0, 127},     {159, 191, 239},
        {191, 191, 191}, {255, 255, 0},   {0, 255, 255},   {255, 0, 255},   {255, 247, 239},
        {127, 127, 127}, {127, 127, 0},   {0, 127, 127},   {127, 0, 127},   {159, 159, 159},
    };
    return colours;
}

void TColorButton::SetColor(const QColor& colour)
{
    if (colour == Color_)
        return;
    Color_ = colour;
    update();
}

QFrame* TColorButton::DropDown()
{
    if (DropDown_)
        return DropDown_;
    DropDown_ = new QFrame(this, Qt::Popup);
    DropDown_->setObjectName("ColorDropDown");
    DropDown_->setFrameShape(QFrame::Box);
    auto* layout = new QVBoxLayout(DropDown_);
    auto* palette = new QGridLayout;
    const QList<QColor>& colours = PaletteColours();
    for (int i = 0; i < colours.size(); ++i) {
        QToolButton* b = Swatch(DropDown_, QStringLiteral("Palette%1").arg(i), colours[i]);
        palette->addWidget(b, i / PaletteColumns, i % PaletteColumns);
        connect(b, &QToolButton::clicked, this, [this, c = colours[i]] { Choose(c); });
    }
    layout->addLayout(palette);
    auto* custom = new QGridLayout;
    for (int i = 0; i < CustomCount; ++i) {
        QToolButton* b = Swatch(DropDown_, QStringLiteral("Custom%1").arg(i), Custom_[i]);
        custom->addWidget(b, i / CustomColumns, i % CustomColumns);
        connect(b, &QToolButton::clicked, this, [this, i] { Choose(Custom_[i]); });
    }
    layout->addLayout(custom);
    auto* other = new QPushButton(QStringLiteral("&Other"), DropDown_);
    other->setObjectName("OtherButton");
    connect(other, &QPushButton::clicked, this, &TColorButton::ChooseOther);
    layout->addWidget(other);
    return DropDown_;
}

void TColorButton::ShowDropDown()
{
    QFrame* dropDown = DropDown();
    dropDown->move(mapToGlobal(QPoint(0, height())));
    dropDown->show();
}

void TColorButton::Choose(const QColor& colour)
{
    if (DropDown_)
        DropDown_->hide();
    const bool changed = colour != Color_;
    SetColor(colour);
    if (changed)
        emit ColorChanged(colour);
}

void TColorButton::ChooseOther()
{
    if (DropDown_)
        DropDown_->hide();
    QColor colour = Color_;
    if (!Dialogs().ChooseColour(colour, Custom_))
        return;
    // The custom swatches show what the colour dialog kept.
    for (int i = 0; i < CustomCount && DropDown_; ++i)
        if (auto* b = DropDown_->findChild<QToolButton*>(QStringLiteral("Custom%1").arg(i)))
            b->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: 1px solid #808080; }")
                                 .arg(Custom_[i].name()));
    Choose(colour);
}

void TColorButton::paintEvent(QPaintEvent* event)
{
    QToolButton::paintEvent(event);
    QPainter painter(this);
    const QRect swatch = rect().adjusted(5, 5, -14, -5);
    painter.fillRect(swatch, Color_);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    // The drop-down arrow.
    const int x = width() - 10, y = height() / 2 - 1;
    painter.setBrush(palette().color(QPalette::ButtonText));
    painter.setPen(Qt::NoPen);
    const QPoint arrow[] = {{x, y}, {x + 6, y}, {x + 3, y + 3}};
    painter.drawPolygon(arrow, 3);
}

} // namespace tessaria
