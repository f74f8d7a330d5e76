#pragma once
// The text box properties dialog: the text, its font name, size and colour.

#include <QDialog>

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace tessaria {

class TColorButton;

class TfrmTextBoxProperties : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTextBoxProperties(QWidget* parent = nullptr);

    QComboBox* cbFonts;
    QComboBox* cbtxtSize;
    TColorButton* btnFontColor;
    QPlainTextEdit* RBMemo;
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // Cancel

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PreviewFace();
};

} // namespace tessaria
