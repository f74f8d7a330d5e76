#include "layout/utextboxproperties.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/colorbutton.h"

namespace tessaria {

TfrmTextBoxProperties::TfrmTextBoxProperties(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmTextBoxProperties");
    setWindowTitle("Text Box Properties");
    setFixedSize(352, 271);

    auto* layout = new QVBoxLayout(this);
    auto* fontGroup = new QGroupBox(" Font ", this);
    fontGroup->setObjectName("FontGroup");
    auto* grid = new QGridLayout(fontGroup);
    cbFonts = new QComboBox(fontGroup);
    cbFonts->setObjectName("cbFonts");
    cbFonts->setEditable(true); // a font that is not installed still shows its name
    cbFonts->addItems(QFontDatabase::families());
    cbFonts->setCurrentIndex(0);
    cbtxtSize = new QComboBox(fontGroup);
    cbtxtSize->setObjectName("cbtxtSize");
    cbtxtSize->setEditable(true);
    cbtxtSize->addItems({"8", "10", "12", "14", "18", "24", "36", "48", "56", "64", "72"});
    cbtxtSize->setMaxVisibleItems(11);
    cbtxtSize->setCurrentIndex(1);
    btnFontColor = new TColorButton(fontGroup);
    btnFontColor->setObjectName("btnFontColor");
    grid->addWidget(new QLabel("Name", fontGroup), 0, 0);
    grid->addWidget(new QLabel("Size", fontGroup), 0, 1);
    grid->addWidget(new QLabel("Color", fontGroup), 0, 2);
    grid->addWidget(cbFonts, 1, 0);
    grid->addWidget(cbtxtSize, 1, 1);
    grid->addWidget(btnFontColor, 1, 2);
    grid->setColumnStretch(0, 1);
    layout->addWidget(fontGroup);

    layout->addWidget(new QLabel("Text", this));
    RBMemo = new QPlainTextEdit(this);
    RBMemo->setObjectName("RBMemo");
    RBMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    RBMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(RBMemo, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(false);
    BitBtn1->setAutoDefault(false); // Enter makes a new line in the memo
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setAutoDefault(false);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbFonts, &QComboBox::currentTextChanged, this, [this] { PreviewFace(); });
    setTabOrder(RBMemo, cbFonts);
}

void TfrmTextBoxProperties::PreviewFace()
{
    QFont font = RBMemo->font();
    font.setFamily(cbFonts->currentText());
    RBMemo->setFont(font);
}

void TfrmTextBoxProperties::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    PreviewFace();
    RBMemo->setFocus();
}

} // namespace tessaria
