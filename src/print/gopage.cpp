#include "print/gopage.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tessaria {

TGoPageForm::TGoPageForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("GoPageForm");
    setWindowTitle("Go to Page Number");
    auto* layout = new QVBoxLayout(this);
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    auto* inside = new QHBoxLayout(Bevel1);
    auto* label = new QLabel("&Page Number:", Bevel1);
    PageNum = new QSpinBox(Bevel1);
    PageNum->setObjectName("PageNum");
    PageNum->setMinimum(1);
    label->setBuddy(PageNum);
    inside->addWidget(label);
    inside->addWidget(PageNum, 1);
    layout->addWidget(Bevel1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace tessaria
