#pragma once
// The About box: the program's name, version and icon.

#include <QDialog>

namespace tessaria {

class TFrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget* parent = nullptr);
};

QString ProgramVersion();

} // namespace tessaria
