#pragma once
// "Go to Page Number": asks for a page of the preview.

#include <QDialog>

class QFrame;
class QPushButton;
class QSpinBox;

namespace tessaria {

class TGoPageForm : public QDialog {
    Q_OBJECT
public:
    explicit TGoPageForm(QWidget* parent = nullptr);

    QFrame* Bevel1;
    QSpinBox* PageNum;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};

} // namespace tessaria
