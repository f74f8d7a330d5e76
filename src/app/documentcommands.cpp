// The main window's document commands: new, open and save, and rebuilding a
// layout from a document.
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QUndoStack>

#include "app/openingcopies.h"
#include "app/utessaria.h"
#include "base/rounding.h"
#include "controls/statusbar.h"
#include "controls/updown.h"
#include "document/documentmessages.h"
#include "document/documentreader.h"
#include "document/documentwriter.h"
#include "document/links.h"
#include "imageio/picture.h"
#include "layout/canvaspanel.h"
#include "layout/layoutrules.h"
#include "layout/rectbox.h"
#include "layout/ulorvaneoptions.h"
#include "platform/application.h"
#include "platform/color.h"
#include "platform/busycursor.h"
#include "platform/dialogs.h"
#include "print/core/rotate.h"

namespace tessaria {

namespace {

TDocumentBox RecordOf(const TRectBox& box)
{
    TDocumentBox r;
    const QRect bounds = box.Bounds();
    r.Left = bounds.left();
    r.Top = bounds.top();
    r.Width = bounds.width();
    r.Height = bounds.height();
    r.Rotation = box.Rotation();
    r.CanvasPPI = box.CanvasPPI();
    r.FontName = box.Font().family().toStdString();
    r.FontSize = box.Font().pointSize();
    r.FontColor = TColorFromColor(box.FontColor());
    r.SetAlignment(box.Alignment());
    r.Tag = box.Tag();
    r.SetTextBox(box.TextBox());
    if (box.TextBox())
        for (const QString& line : box.Lines())
            r.Lines.push_back(line.toStdString());
    else
        r.FileName = box.FileName().toStdString();
    return r;
}

} // namespace

int TfrmTessaria::CountBoxes() const { return int(Boxes().size()); }

int TfrmTessaria::CountPageBoxes(const TCanvasPanel* page) const { return int(PageBoxes(page).size()); }

void TfrmTessaria::SetDocumentSaved(bool saved)
{
    QUndoStack* steps = History->Stack();
    if (saved)
        steps->setClean();
    else if (steps->isClean() && !History->Recording())
        steps->resetClean(); // a step being recorded marks the change itself
    DocumentSaved = saved;
    UpdateCaption();
}

void TfrmTessaria::UpdateCaption()
{
    const QString program = QStringLiteral("Tessaria by Corvanel Software");
    if (DocumentFileName.isEmpty()) {
        setWindowModified(false);
        setWindowTitle(program);
        return;
    }
    setWindowTitle(QFileInfo(DocumentFileName).fileName() + QStringLiteral("[*] - ") + program);
    setWindowModified(!DocumentSaved);
}

bool TfrmTessaria::CloseQuery()
{
    if (CountBoxes() < 1 || DocumentSaved)
        return true;
    switch (Dialogs().Confirm(SaveCurrentDocumentMessage, TMsgButtons::YesNoCancel)) {
    case TMsgAnswer::Yes:
        NewSaveRoutine();
        return DocumentSaved; // a cancelled or failed save keeps the window open
    case TMsgAnswer::No: return true;
    default: return false;
    }
}

void TfrmTessaria::NewSaveRoutine()
{
    History->EndDrag();
    const int count = CountBoxes();
    if (count == 0) {
        SetDocumentSaved(true);
        Dialogs().ShowMessage(NoImagesToSaveMessage);
        return;
    }
    SetDocumentSaved(false);
    SaveDialog1.DefaultExt = "tsd";
    SaveDialog1.Filter = "Tessaria file|*.tsd";
    SaveDialog1.OverwritePrompt = true;
    if (SaveDialog1.FileName.isEmpty())
        SaveDialog1.FileName = "*.tsd";
    if (!Dialogs().SaveFile(SaveDialog1))
        return;
    SaveDocumentFile(SaveDialog1.FileName);
}

void TfrmTessaria::SaveDocumentFile(const QString& fileName)
{
    TDocument document;
    for (const TCanvasPanel* page : Pages) {
        TDocumentPage p;
        p.Orientation = LayoutOrientation;
        p.Width = page->PageWidth();
        p.Height = page->PageHeight();
        for (const TRectBox* box : PageBoxes(page))
            p.Boxes.push_back(RecordOf(*box));
        document.Pages.push_back(std::move(p));
    }
    // Written beside the old file and put in its place only when complete.
    // Only a save that succeeded marks the layout saved: after a failure,
    // New and closing still ask.
    SaveDocument(document, fileName.toStdString());
    DocumentFileName = fileName;
    SetDocumentSaved(true);
}

void TfrmTessaria::New1Click()
{
    if (CountBoxes() >= 1 && !DocumentSaved) {
        const TMsgAnswer answer = Dialogs().Confirm(SaveCurrentDocumentMessage, TMsgButtons::YesNoCancel);
        if (answer == TMsgAnswer::Cancel)
            return;
        if (answer == TMsgAnswer::Yes)
            NewSaveRoutine(); // a failed save raises and keeps the layout
    }
    // The steps go first: they free the boxes and pages only they kept.
    History->Clear();
    DocumentFileName.clear();
    SetDocumentSaved(true);
    if (Pages.size() == 1) {
        DeleteAllBoxes();
        UpdateActions();
        return;
    }
    for (TCanvasPanel* page : Pages)
        page->hide();
    DeleteAllBoxes();
    while (!Pages.isEmpty())
        delete Pages.takeLast();
    CurrentPage = nullptr;
    CanvasPageNumber->SetMax(0);
    CanvasPageNumber->SetPosition(0);
    txtPageCount->setText(" of 0");
    tbNewPageClick();
    UpdateActions();
}

void TfrmTessaria::Open1Click()
{
    if (CountBoxes() >= 1 && !DocumentSaved &&
        Dialogs().Confirm(SaveCurrentDocumentMessage, TMsgButtons::YesNo) == TMsgAnswer::Yes)
        NewSaveRoutine();
    // The layout counts as saved only once another document replaced it: a
    // cancelled dialog or a file that is no document keeps the unsaved mark.
    OpenDialog1.DefaultExt = "tsd";
    OpenDialog1.Filter = "Tessaria file|*.tsd";
    OpenDialog1.FileMustExist = true;
    if (OpenDialog1.FileName.isEmpty())
        OpenDialog1.FileName = "*.tsd";
    if (!Dialogs().OpenFile(OpenDialog1))
        return;
    OpenDocumentFile(OpenDialog1.FileName);
}

bool TfrmTessaria::OpenDocumentFile(const QString& fileName)
{
    TDocument document;
    try {
        document = ReadDocumentFile(fileName.toStdString());
    } catch (const EInvalidDocument&) {
        Dialogs().ShowMessage(NotValidDocumentMessage);
        return false;
    }
    if (document.IsOlderFormat())
        Dialogs().ShowMessage(OlderFormatMessage);

    SetDocumentSaved(true); // the prompt, if any, has been answered
    New1Click();

    TBusyCursor busy;
    sb1->SetGaugePosition(0);
    const bool proportion = Options()->cbMaintainProportion->isChecked();
    std::vector<std::string> missing;
    int64_t loaded = 0;
    // The screen copies are made on every core while the boxes are placed.
    TOpeningCopies copies(LoadScreenCopies ? TOpeningCopies::PicturesOf(document)
                                            : std::vector<TOpeningCopies::TRequest>());
    size_t nextCopy = 0;
    for (size_t i = 0; i < document.Pages.size(); ++i) {
        const TDocumentPage& page = document.Pages[i];
        if (i > 0)
            tbNewPageClick();
        LayoutOrientation = page.Orientation;
        CurrentPage->SetPageSize(QSize(page.Width, page.Height));
        LayoutView();
        for (const TDocumentBox& record : page.Boxes) {
            TRectBox* box = CreateBox(CurrentPage, bhAll);
            box->SetBounds(QRect(record.Left, record.Top, box->Width(), box->Height()));
            if (document.HasBoxStyle()) {
                box->SetCanvasPPI(record.CanvasPPI);
                box->SetTag(document.HasLinks() ? record.Tag : 0);
                QFont font(QString::fromStdString(record.FontName));
                if (record.FontSize > 0)
                    font.setPointSize(record.FontSize);
                box->SetFont(font);
                // System colours (negative) have no meaning here: black.
                box->SetFontColor(record.FontColor >= 0 ? ColorFromTColor(record.FontColor) : QColor(Qt::black));
                box->SetAlignment(record.Alignment());
            }
            box->SetRotation(record.Rotation);
            box->SetTextBox(record.TextBox());
            if (!record.TextBox()) {
                box->SetHidePassiveFrame(true);
                box->SetProportionate(proportion);
                box->SetFileName(QString::fromStdString(record.FileName));
                const bool ratioFromBox = record.Width > 0 && record.Height > 0;
                if (!LoadScreenCopies) {
                    // Printing reads every picture again: no screen copy needed.
                    if (ratioFromBox)
                        box->SetRatio((long double)record.Height / record.Width);
                } else {
                    TOpeningCopy copy = copies.Take(nextCopy++);
                    if (copy.Read) {
                        box->SetRatio((long double)copy.PictureHeight / copy.PictureWidth);
                        box->SetPictureWidth(copy.PictureWidth);
                        box->SetPictureHeight(copy.PictureHeight);
                        RememberPicture(box->FileName(), copy.PictureWidth, copy.PictureHeight);
                        box->SetPicture(copy.Reduced);
                    } else {
                        // The box keeps its place and file, so a later save loses nothing.
                        missing.push_back(record.FileName);
                        if (ratioFromBox)
                            box->SetRatio((long double)record.Height / record.Width);
                    }
                }
            } else {
                box->SetHidePassiveFrame(false);
                box->SetProportionate(false);
                QStringList lines;
                for (const std::string& line : record.Lines)
                    lines << QString::fromStdString(line);
                box->SetLines(lines);
            }
            box->SetFocus(false);
            box->SetBounds(QRect(box->Left(), box->Top(), record.Width, record.Height));
            box->UnfocusAll();
            box->show();
            ++loaded;
            if (document.BoxCount > 0)
                sb1->SetGaugePosition(int(Round(double(loaded) / document.BoxCount * 100)));
            CurrentPage->update();
            ProcessMessages();
        }
    }
    sb1->SetPanelText(1, QFileInfo(fileName).fileName() + " Loaded");
    sb1->SetGaugePosition(0);
    CanvasPageNumber->SetPosition(1);
    for (TCanvasPanel* page : Pages)
        page->hide();
    CurrentPage = Pages.first();
    CurrentPage->show();
    LayoutView();
    if (document.HasLinks() && !SetLinks())
        Dialogs().ShowMessage(ErrorSettingLinksMessage);
    // Captions sit under their pictures, as the screen shows them.
    for (TRectBox* box : Boxes())
        FollowPicture(box);
    if (!missing.empty())
        Dialogs().ShowMessage(QString::fromStdString(MissingPicturesMessage(missing)));
    History->Clear();
    DocumentFileName = fileName;
    SetDocumentSaved(true);
    UpdateActions();
    return true;
}

} // namespace tessaria
