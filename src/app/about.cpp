#include "app/about.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaria {

QString ProgramVersion() { return QStringLiteral(TESSARIA_VERSION); }

QIcon ProgramIcon()
{
    QIcon icon;
    for (const char* size : {"16", "32", "64", "128", "256"})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(QLatin1String(size)));
    icon.addFile(QStringLiteral(":/tessaria.png"));
    return icon;
}

TFrmAbout::TFrmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName("FrmAbout");
    setWindowTitle("About Tessaria");
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setObjectName("ProgramIcon");
    icon->setPixmap(QPixmap(":/tessaria.png"));
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QLabel(this);
    text->setObjectName("ProductName");
    text->setText(QStringLiteral("<b style='font-size:14pt'>Tessaria</b><br>Version %1<br><br>"
                                 "Lays out and prints pictures.<br>Corvanel Software")
                      .arg(ProgramVersion()));
    top->addWidget(text, 1);
    layout->addLayout(top);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("OKButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

} // namespace tessaria
