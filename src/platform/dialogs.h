#pragma once
// The one way the program talks to the user through standard dialogs: message
// boxes, confirmations, file, font, colour and printer dialogs, and the modal
// showing of its own forms. The real implementation shows Qt dialogs; tests
// install TScriptedDialogs, which answers from a script and records every text.

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <memory>

class QDialog;
class QPrinter;
class QWidget;

namespace tessaria {

enum class TMsgAnswer { Ok, Yes, No, Cancel };
enum class TMsgButtons { YesNo, YesNoCancel };

// What an open or save dialog is set up with (the designed properties of
// OpenDialog1 and SaveDialog1 and their like).
struct TFileDialogSpec {
    QString Title;
    QString Filter;      // "Tessaria files (*.tsd)|*.tsd" style pairs joined with "|"
    QString DefaultExt;  // without the dot
    QString InitialDir;
    QString FileName;    // in: suggested name; out: the chosen path
    bool OverwritePrompt = false;
    bool FileMustExist = false;
};

// The print dialog's choices.
struct TPrintDialogSpec {
    int MinPage = 1;
    int MaxPage = 1;
    int FromPage = 1;
    int ToPage = 1;
    bool PageRange = false; // false: all pages
    int Copies = 1;
};

class TDialogs {
public:
    virtual ~TDialogs() = default;

    // A plain message box with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // The application's standard error box, where every failed command ends.
    virtual void ShowError(const QString& text) = 0;
    // A question; Yes/No or Yes/No/Cancel.
    virtual TMsgAnswer Confirm(const QString& text, TMsgButtons buttons) = 0;

    // Return false when the user cancels; on true spec.FileName holds the path.
    virtual bool OpenFile(TFileDialogSpec& spec) = 0;
    virtual bool SaveFile(TFileDialogSpec& spec) = 0;
    virtual bool ChooseFont(QFont& font, QColor& colour) = 0;
    virtual bool ChooseColour(QColor& colour, QList<QColor>& customColours) = 0;
    virtual bool PrinterSetup(QPrinter& printer) = 0;
    virtual bool Print(QPrinter& printer, TPrintDialogSpec& spec) = 0;

    // Shows one of the program's own forms modally; gives the dialog's result
    // (QDialog::Accepted or Rejected, or a form's own modal result).
    virtual int ExecModal(QDialog& dialog) = 0;
};

// The dialogs in use; the real ones unless a test installed others.
TDialogs& Dialogs();
// Takes ownership; returns the previous implementation.
std::unique_ptr<TDialogs> SetDialogs(std::unique_ptr<TDialogs> dialogs);

// Puts an earlier implementation back when it goes out of scope:
// TDialogsGuard guard(SetDialogs(...)).
class TDialogsGuard {
public:
    explicit TDialogsGuard(std::unique_ptr<TDialogs> previous) : Previous_(std::move(previous)) {}
    ~TDialogsGuard() { SetDialogs(std::move(Previous_)); }
    TDialogsGuard(const TDialogsGuard&) = delete;
    TDialogsGuard& operator=(const TDialogsGuard&) = delete;

private:
    std::unique_ptr<TDialogs> Previous_;
};

// Qt's own dialogs, parented to the active window.
class TQtDialogs final : public TDialogs {
public:
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
};

// Turns "Text (*.a;*.b)|*.a;*.b|..." into Qt's "Text (*.a *.b);;..." filter.
QString QtFilterFromPairs(const QString& filter);

} // namespace tessaria
