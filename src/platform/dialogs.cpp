#include "platform/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace tessaria {

namespace {
std::unique_ptr<TDialogs>& Current()
{
    static std::unique_ptr<TDialogs> dialogs = std::make_unique<TQtDialogs>();
    return dialogs;
}

QWidget* Parent() { return QApplication::activeWindow(); }
} // namespace

TDialogs& Dialogs() { return *Current(); }

std::unique_ptr<TDialogs> SetDialogs(std::unique_ptr<TDialogs> dialogs)
{
    std::unique_ptr<TDialogs> previous = std::move(Current());
    Current() = dialogs ? std::move(dialogs) : std::make_unique<TQtDialogs>();
    return previous;
}

QString QtFilterFromPairs(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        QString text = parts[i];
        // The description often repeats the patterns already.
        if (!text.contains('('))
            text += " (" + patterns + ")";
        else
            text = text.left(text.indexOf('(')).trimmed() + " (" + patterns + ")";
        result << text;
    }
    return result.join(";;");
}

void TQtDialogs::ShowMessage(const QString& text)
{
    QMessageBox::information(Parent(), QApplication::applicationName(), text);
}

void TQtDialogs::ShowError(const QString& text)
{
    QMessageBox::critical(Parent(), QApplication::applicationName(), text);
}

TMsgAnswer TQtDialogs::Confirm(const QString& text, TMsgButtons buttons)
{
    QMessageBox::StandardButtons set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == TMsgButtons::YesNoCancel)
        set |= QMessageBox::Cancel;
    switch (QMessageBox::question(Parent(), QApplication::applicationName(), text, set)) {
    case QMessageBox::Yes: return TMsgAnswer::Yes;
    case QMessageBox::No: return TMsgAnswer::No;
    default: return buttons == TMsgButtons::YesNoCancel ? TMsgAnswer::Cancel : TMsgAnswer::No;
    }
}

bool TQtDialogs::OpenFile(TFileDialogSpec& spec)
{
    QFileDialog dialog(Parent(), spec.Title, spec.InitialDir, QtFilterFromPairs(spec.Filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(spec.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!spec.DefaultExt.isEmpty())
        dialog.setDefaultSuffix(spec.DefaultExt);
    if (!spec.FileName.isEmpty())
        dialog.selectFile(spec.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    spec.FileName = dialog.selectedFiles().first();
    return true;
}

bool TQtDialogs::SaveFile(TFileDialogSpec& spec)
{
    QFileDialog dialog(Parent(), spec.Title, spec.InitialDir, QtFilterFromPairs(spec.Filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!spec.OverwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!spec.DefaultExt.isEmpty())
        dialog.setDefaultSuffix(spec.DefaultExt);
    if (!spec.FileName.isEmpty())
        dialog.selectFile(spec.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    spec.FileName = dialog.selectedFiles().first();
    return true;
}

bool TQtDialogs::ChooseFont(QFont& font, QColor& colour)
{
    Q_UNUSED(colour); // Qt's font dialog has no colour; the caller keeps it
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, Parent());
    if (ok)
        font = chosen;
    return ok;
}

bool TQtDialogs::ChooseColour(QColor& colour, QList<QColor>& customColours)
{
    for (int i = 0; i < customColours.size() && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, customColours[i]);
    const QColor chosen = QColorDialog::getColor(colour, Parent());
    for (int i = 0; i < customColours.size() && i < QColorDialog::customCount(); ++i)
        customColours[i] = QColorDialog::customColor(i);
    if (!chosen.isValid())
        return false;
    colour = chosen;
    return true;
}

bool TQtDialogs::PrinterSetup(QPrinter& printer)
{
    // The print dialog is where a Qt user picks the printer and its properties.
    QPrintDialog dialog(&printer, Parent());
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setWindowTitle(QObject::tr("Print Setup"));
    return dialog.exec() == QDialog::Accepted;
}

bool TQtDialogs::Print(QPrinter& printer, TPrintDialogSpec& spec)
{
    QPrintDialog dialog(&printer, Parent());
    dialog.setMinMax(spec.MinPage, spec.MaxPage);
    printer.setFromTo(spec.FromPage, spec.ToPage);
    printer.setCopyCount(spec.Copies);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    spec.PageRange = printer.printRange() == QPrinter::PageRange;
    spec.FromPage = spec.PageRange ? printer.fromPage() : spec.MinPage;
    spec.ToPage = spec.PageRange ? printer.toPage() : spec.MaxPage;
    spec.Copies = printer.copyCount();
    return true;
}

int TQtDialogs::ExecModal(QDialog& dialog) { return dialog.exec(); }

} // namespace tessaria
