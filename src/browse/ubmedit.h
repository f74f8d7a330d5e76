#pragma once
// The "Edit Bookmarks" dialog: reorder, delete and clear the entries; only OK
// makes the changes last.

#include <QDialog>

class QListWidget;
class QPushButton;

namespace tessaria {

class TfBMEdit : public QDialog {
    Q_OBJECT
public:
    explicit TfBMEdit(QWidget* parent = nullptr);

    QListWidget* ListBox1;
    QPushButton* BitBtn3; // Up
    QPushButton* BitBtn4; // Down
    QPushButton* BitBtn5; // Delete
    QPushButton* BitBtn6; // Clear
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // Cancel

    QStringList Entries() const;
    void FormShow();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tessaria
