#pragma once
// The About box: the program's name, version and icon.

#include <QDialog>
#include <QIcon>

namespace tessaria {

class TFrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget* parent = nullptr);
};

QString ProgramVersion();
// The program's icon at every size it comes in, 16 to 256 pixels.
QIcon ProgramIcon();

} // namespace tessaria
