#include "platform/consoledialogs.h"

#include <QDialog>
#include <ostream>

namespace tessaria {

void TConsoleDialogs::Write(const char* kind, const QString& text)
{
    Out_ << "tessaria: " << kind << text.toStdString() << '\n';
    Out_.flush();
}

void TConsoleDialogs::ShowMessage(const QString& text) { Write("", text); }

void TConsoleDialogs::ShowError(const QString& text)
{
    ErrorShown_ = true;
    Write(ErrorLabel_, text);
}

TMsgAnswer TConsoleDialogs::Confirm(const QString& text, TMsgButtons)
{
    Write("", text + " (answered No)");
    return TMsgAnswer::No;
}

int TConsoleDialogs::ExecModal(QDialog&) { return QDialog::Rejected; }

} // namespace tessaria
