#pragma once
// The layout options dialog, "Tessaria Options": default picture size,
// proportion, captions, printer resolution and filter, orientation, footer
// information and the listed file types. It lives as long as the program and
// its controls hold the choices; what acts at once (proportion, orientation,
// footer, grid) is signalled to the main window.

#include <QDialog>
#include <QStringList>

#include "layout/layoutrules.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace tessaria {

class TfrmLorvaneOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLorvaneOptions(QWidget* parent = nullptr);

    // Tab "Image".
    QLineEdit* txtHeight;
    QLineEdit* txtWidth;
    QCheckBox* cbMaintainProportion;
    QGroupBox* rbAutoCaption;
    QButtonGroup* rbAutoCaptionButtons;
    QCheckBox* cbTurnByOrientation; // kept in the settings store by the main window
    QCheckBox* cbShowGrid;
    // Tab "Printer".
    QComboBox* cbDPI;
    QComboBox* cbFilterBox;
    QGroupBox* rgOrientation;
    QButtonGroup* rgOrientationButtons;
    QCheckBox* cbPrintInfo;
    QLabel* txtSelectedPrinter;
    QLabel* VPC;
    QLabel* HPC;
    // Tab "File Types".
    QList<QCheckBox*> FileTypeBoxes; // cbFileType1 ... cbFileType16
    QTabWidget* PageControl1;
    QPushButton* BtnOK;

    TAutoCaption AutoCaption() const;
    void SetAutoCaption(TAutoCaption mode);
    int OrientationIndex() const;
    void SetOrientationIndex(int index); // without acting on it

    // Set before showing: the orientation to show and the mask to tick.
    void Prepare(int layoutOrientation, const QString& fileMask);
    void ChecksFromFileMask(const QString& mask);
    QString FileMaskFromChecks() const;
    // The mask BtnOK produced.
    QString FileMask() const { return FileMask_; }

    void BtnOKClick();
    void cbMaintainProportionClick();

signals:
    void ProportionChanged(bool proportionate);
    void OrientationChanged(int index);
    void PrintInfoChanged(bool ticked);
    void ShowGridChanged(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override; // there is no Cancel: closing is OK

private:
    QString FileMask_;
};

// The key filter of the size edits: digits, "." and backspace pass.
bool SizeEditAcceptsKey(int key, const QString& text);

} // namespace tessaria
