#pragma once
// The findings of the check before printing, one a line. Selecting one shows
// its page and box in the main window behind the dialog; "Print anyway" goes
// on, "Cancel" does not.

#include <QDialog>
#include <vector>

#include "print/printcheck.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace tessaria {

class TfrmPrintCheck : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPrintCheck(QWidget* parent = nullptr);

    QLabel* txtSummary;
    QListWidget* lbFindings;
    QPushButton* BtnGoOn;
    QPushButton* BtnCancel;

    // `print` names the button "Print anyway", else "Preview anyway".
    void SetFindings(const std::vector<TFinding>& findings, bool print);

signals:
    // The finding with that number (from 0) was selected.
    void FindingChosen(int index);
};

} // namespace tessaria
