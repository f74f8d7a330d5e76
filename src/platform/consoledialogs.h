#pragma once
// The dialogs of a run without windows (batch printing): every message goes
// to a stream, questions are answered No, file and printer dialogs are
// cancelled and forms are not shown.

#include <iosfwd>

#include "platform/dialogs.h"

namespace tessaria {

class TConsoleDialogs final : public TDialogs {
public:
    // `errorLabel` starts each error line ("error: "; "warning: " where an
    // error does not stop the run).
    explicit TConsoleDialogs(std::ostream& out, const char* errorLabel = "error: ")
        : Out_(out), ErrorLabel_(errorLabel)
    {
    }

    // An error box was shown (a command failed).
    bool ErrorShown() const { return ErrorShown_; }

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    TMsgAnswer Confirm(const QString& text, TMsgButtons buttons) override;
    bool OpenFile(TFileDialogSpec&) override { return false; }
    bool SaveFile(TFileDialogSpec&) override { return false; }
    bool ChooseFont(QFont&, QColor&) override { return false; }
    bool ChooseColour(QColor&, QList<QColor>&) override { return false; }
    bool PrinterSetup(QPrinter&) override { return false; }
    bool Print(QPrinter&, TPrintDialogSpec&) override { return false; }
    int ExecModal(QDialog& dialog) override;

private:
    void Write(const char* kind, const QString& text);

    std::ostream& Out_;
    const char* ErrorLabel_;
    bool ErrorShown_ = false;
};

} // namespace tessaria
