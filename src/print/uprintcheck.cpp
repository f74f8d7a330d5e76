#include "print/uprintcheck.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tessaria {

namespace {

QStyle::StandardPixmap IconOf(TFindingKind kind)
{
    switch (kind) {
    case TFindingKind::MissingPicture:
    case TFindingKind::UnreadablePicture: return QStyle::SP_MessageBoxCritical;
    default: return QStyle::SP_MessageBoxWarning;
    }
}

} // namespace

TfrmPrintCheck::TfrmPrintCheck(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmPrintCheck");
    setWindowTitle("Check before printing");
    txtSummary = new QLabel(this);
    txtSummary->setObjectName("txtSummary");
    txtSummary->setWordWrap(true);
    lbFindings = new QListWidget(this);
    lbFindings->setObjectName("lbFindings");
    lbFindings->setWordWrap(true);
    lbFindings->setMinimumSize(520, 200);
    BtnGoOn = new QPushButton("Print anyway", this);
    BtnGoOn->setObjectName("BtnGoOn");
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    BtnCancel->setDefault(true);
    connect(BtnGoOn, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lbFindings, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            emit FindingChosen(row);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnGoOn);
    buttons->addWidget(BtnCancel);
    auto* all = new QVBoxLayout(this);
    all->addWidget(txtSummary);
    all->addWidget(lbFindings, 1);
    all->addLayout(buttons);
}

void TfrmPrintCheck::SetFindings(const std::vector<TFinding>& findings, bool print)
{
    BtnGoOn->setText(print ? QStringLiteral("Print anyway") : QStringLiteral("Preview anyway"));
    txtSummary->setText((findings.size() == 1 ? QStringLiteral("One thing would not print as laid out.")
                                              : QStringLiteral("%1 things would not print as laid out.").arg(findings.size())) +
                        QStringLiteral(" Select one to see its page and box."));
    lbFindings->clear();
    for (const TFinding& f : findings)
        new QListWidgetItem(style()->standardIcon(IconOf(f.Kind)), f.Text, lbFindings);
}

} // namespace tessaria
