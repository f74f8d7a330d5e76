#include "controls/updown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tessaria {

TUpDown::TUpDown(QWidget* parent) : QWidget(parent), Up_(new QToolButton(this)), Down_(new QToolButton(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* b : {Up_, Down_}) {
        b->setAutoRaise(false);
        b->setFixedSize(15, 11);
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
    }
    Up_->setArrowType(Qt::UpArrow);
    Down_->setArrowType(Qt::DownArrow);
    Up_->setAutoRepeat(true);
    Down_->setAutoRepeat(true);
    connect(Up_, &QToolButton::clicked, this, [this] { ClickButton(TUDBtnType::btNext); });
    connect(Down_, &QToolButton::clicked, this, [this] { ClickButton(TUDBtnType::btPrev); });
    setFixedSize(15, 22);
}

void TUpDown::SetPosition(int position)
{
    Position_ = std::clamp(position, Min_, std::max(Min_, Max_));
    UpdateAssociate();
}

void TUpDown::SetMin(int min)
{
    Min_ = min;
    SetPosition(Position_);
}

void TUpDown::SetMax(int max)
{
    Max_ = max;
    SetPosition(Position_);
}

void TUpDown::SetAssociate(QLineEdit* edit)
{
    // The edit keeps its own text until the position first changes.
    Associate_ = edit;
}

void TUpDown::ClickButton(TUDBtnType button)
{
    SetPosition(Position_ + (button == TUDBtnType::btNext ? 1 : -1));
    emit Click(button);
}

void TUpDown::UpdateAssociate()
{
    if (Associate_)
        Associate_->setText(QString::number(Position_));
}

} // namespace tessaria
