#pragma once
// The file search window: finds files matching a pattern on one drive (a
// mounted volume) or on all of them, and lists their full paths in order.

#include <QWidget>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tessaria {

class TStatusBar;

class TfSearch : public QWidget {
    Q_OBJECT
public:
    explicit TfSearch(QWidget* parent = nullptr);

    QGroupBox* RG1;
    QButtonGroup* RG1Buttons; // 0 "All Drives", 1 "Selected Drive"
    QComboBox* DriveComboBox1;
    QLineEdit* SearchFor;
    QPushButton* btnFind;
    QPushButton* btnStop;
    QListWidget* ListBox1;
    TStatusBar* SB1;
    bool Searching = false;
    // Entries the list takes before "Number of files exceeds list box capacity.".
    int Capacity = 1000000;

    void RG1Click();
    void btnFindClick();
    void btnStopClick() { Searching = false; }
    void ListBox1DblClick();
    // The drive list read again (the choice kept while its drive is there).
    void RefreshDrives();

signals:
    // A found file was double clicked: show its folder and select it.
    void ShowFile(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Add(const QString& path);
};

// The drives to search: the mounted volumes that hold files (not the kernel's
// own file systems), root first.
QStringList SearchDrives();

} // namespace tessaria
