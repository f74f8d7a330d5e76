#include "platform/scripteddialogs.h"

#include <QDialog>

namespace tessaria {

TScriptedDialogs* TScriptedDialogs::Install(std::unique_ptr<TGuard>& guard)
{
    auto dialogs = std::make_unique<TScriptedDialogs>();
    TScriptedDialogs* raw = dialogs.get();
    guard.reset(); // restore an earlier installation first
    guard = std::make_unique<TGuard>(SetDialogs(std::move(dialogs)));
    return raw;
}

QStringList TScriptedDialogs::Texts(TKind kind) const
{
    QStringList texts;
    for (const TShown& s : Shown)
        if (s.Kind == kind)
            texts << s.Text;
    return texts;
}

QStringList TScriptedDialogs::AllTexts() const
{
    QStringList texts;
    for (const TShown& s : Shown)
        texts << s.Text;
    return texts;
}

void TScriptedDialogs::ShowMessage(const QString& text) { Shown.push_back({TKind::Message, text}); }

void TScriptedDialogs::ShowError(const QString& text) { Shown.push_back({TKind::Error, text}); }

TMsgAnswer TScriptedDialogs::Confirm(const QString& text, TMsgButtons buttons)
{
    Shown.push_back({TKind::Confirm, text});
    TMsgAnswer answer = DefaultAnswer;
    if (!Answers.empty()) {
        answer = Answers.front();
        Answers.pop_front();
    }
    if (buttons == TMsgButtons::YesNo && answer == TMsgAnswer::Cancel)
        answer = TMsgAnswer::No;
    return answer;
}

bool TScriptedDialogs::NextFileName(TFileDialogSpec& spec)
{
    FileSpecs.push_back(spec);
    if (FileNames.empty())
        return false;
    const QString name = FileNames.front();
    FileNames.pop_front();
    if (name.isEmpty())
        return false;
    spec.FileName = name;
    if (!spec.DefaultExt.isEmpty() && !name.section('/', -1).contains('.'))
        spec.FileName += "." + spec.DefaultExt;
    return true;
}

bool TScriptedDialogs::OpenFile(TFileDialogSpec& spec)
{
    Shown.push_back({TKind::OpenFile, spec.Title});
    return NextFileName(spec);
}

bool TScriptedDialogs::SaveFile(TFileDialogSpec& spec)
{
    Shown.push_back({TKind::SaveFile, spec.Title});
    return NextFileName(spec);
}

bool TScriptedDialogs::ChooseFont(QFont& font, QColor& colour)
{
    Shown.push_back({TKind::Font, font.family()});
    return OnFont ? OnFont(font, colour) : false;
}

bool TScriptedDialogs::ChooseColour(QColor& colour, QList<QColor>& customColours)
{
    Shown.push_back({TKind::Colour, colour.name()});
    return OnColour ? OnColour(colour, customColours) : false;
}

bool TScriptedDialogs::PrinterSetup(QPrinter&)
{
    Shown.push_back({TKind::PrinterSetup, QString()});
    if (PrinterAnswers.empty())
        return false;
    const bool answer = PrinterAnswers.front();
    PrinterAnswers.pop_front();
    return answer;
}

bool TScriptedDialogs::Print(QPrinter& printer, TPrintDialogSpec& spec)
{
    Shown.push_back({TKind::Print, QString()});
    return OnPrint ? OnPrint(printer, spec) : false;
}

int TScriptedDialogs::ExecModal(QDialog& dialog)
{
    Shown.push_back({TKind::Modal, dialog.objectName()});
    return OnModal ? OnModal(dialog) : int(QDialog::Rejected);
}

} // namespace tessaria
