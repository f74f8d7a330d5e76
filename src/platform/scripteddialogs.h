#pragma once
// Dialogs for tests: answers come from a script, every text shown is recorded.

#include <QStringList>
#include <deque>
#include <functional>

#include "platform/dialogs.h"

namespace tessaria {

class TScriptedDialogs final : public TDialogs {
public:
    enum class TKind { Message, Error, Confirm, OpenFile, SaveFile, Font, Colour, PrinterSetup, Print, Modal };

    struct TShown {
        TKind Kind;
        QString Text; // message text, dialog title, or the form's object name
    };

    // Installs a fresh scripted implementation and returns it; the previous
    // one comes back when the guard returned by Install goes out of scope.
    using TGuard = TDialogsGuard;
    static TScriptedDialogs* Install(std::unique_ptr<TGuard>& guard);

    // Answers, used in order; when none is left a confirmation gets
    // DefaultAnswer and file dialogs are cancelled.
    std::deque<TMsgAnswer> Answers;
    TMsgAnswer DefaultAnswer = TMsgAnswer::No;
    std::deque<QString> FileNames; // for open and save dialogs; "" cancels
    std::deque<bool> PrinterAnswers;
    std::function<bool(QFont&, QColor&)> OnFont;
    std::function<bool(QColor&, QList<QColor>&)> OnColour;
    std::function<bool(QPrinter&, TPrintDialogSpec&)> OnPrint;
    // Drives one of the program's own modal forms; its result is the form's.
    std::function<int(QDialog&)> OnModal;

    std::vector<TShown> Shown;
    QStringList Texts(TKind kind) const;
    QStringList AllTexts() const;
    QString LastText() const { return Shown.empty() ? QString() : Shown.back().Text; }
    void Clear() { Shown.clear(); }

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    TMsgAnswer Confirm(const QString& text, TMsgButtons buttons) override;
    bool OpenFile(TFileDialogSpec& spec) override;
    bool SaveFile(TFileDialogSpec& spec) override;
    bool ChooseFont(QFont& font, QColor& colour) override;
    bool ChooseColour(QColor& colour, QList<QColor>& customColours) override;
    bool PrinterSetup(QPrinter& printer) override;
    bool Print(QPrinter& printer, TPrintDialogSpec& spec) override;
    int ExecModal(QDialog& dialog) override;

    // Specs the file dialogs were opened with, for checking their set-up.
    std::vector<TFileDialogSpec> FileSpecs;

private:
    bool NextFileName(TFileDialogSpec& spec);
};

} // namespace tessaria
