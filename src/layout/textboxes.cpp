// The main window's text boxes: "Add Text", captions, the properties dialog,
// alignment, and link ids.
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QPlainTextEdit>

#include "app/forms.h"
#include "app/utessaria.h"
#include "base/convert.h"
#include "document/links.h"
#include "controls/colorbutton.h"
#include "layout/canvaspanel.h"
#include "layout/layoutrules.h"
#include "layout/rectbox.h"
#include "layout/ulorvaneoptions.h"
#include "layout/utextboxproperties.h"
#include "platform/color.h"
#include "platform/datetext.h"
#include "platform/dialogs.h"

namespace tessaria {

int TfrmTessaria::MaxLinkTag() const
{
    std::vector<int> tags;
    for (const TRectBox* box : Boxes())
        tags.push_back(box->Tag());
    return MaxTag(tags);
}

QString TfrmTessaria::CaptionFor(const TRectBox* picture) const
{
    TfrmLorvaneOptions* options = const_cast<TfrmTessaria*>(this)->Options();
    const QString date = DateTimeToStr(QFileInfo(picture->FileName()).lastModified());
    return CaptionLine(options->AutoCaption(), picture->FileName(), picture->PictureWidth(), picture->PictureHeight(),
                       date);
}

void TfrmTessaria::tbAddTextClick()
{
    TRectBox* selected = SelectedBox();
    if (selected && !selected->TextBox() && selected->LinkChild()) {
        Dialogs().ShowMessage("You already have text linked to the selected image. Select another image or edit the "
                              "text of the selected image by double clicking the Text Box");
        return;
    }
    if (!CurrentPage)
        return;
    SetDocumentSaved(false);
    TRectBox* text = NewTextBox(CurrentPage);
    if (!selected || selected->TextBox()) {
        text->SetBounds(QRect(2, 2, 60, 18));
        text->SetLines({"TextBox"});
    } else {
        LinkCaption(selected, text);
        text->SetBounds(QRect(selected->Left(), selected->Top() + selected->Height(), selected->Width(), 18));
        text->SetLines({CaptionFor(selected)});
    }
    text->UnfocusAll();
    text->show();
    text->SetFocus(true);
}

TRectBox* TfrmTessaria::NewTextBox(TCanvasPanel* page)
{
    TRectBox* text = CreateBox(page, bhResize);
    text->SetTextBox(true);
    QFont font(LastFontName);
    font.setPointSize(LastFontSize > 0 ? LastFontSize : 10);
    text->SetFont(font);
    text->SetFontColor(ColorFromTColor(LastFontColor));
    text->SetAlignment(LastAlignment);
    text->SetCanvasPPI(LayoutPPI);
    text->SetProportionate(false);
    text->SetTag(0);
    text->SetHidePassiveFrame(true);
    return text;
}

void TfrmTessaria::LinkCaption(TRectBox* picture, TRectBox* caption)
{
    const int tag = MaxLinkTag() + 1;
    picture->SetTag(tag);
    caption->SetTag(tag);
    picture->SetLinkChild(caption);
    caption->SetLinkParent(picture);
}

void TfrmTessaria::EditTextBox(TRectBox* box)
{
    CreateStartupForms();
    TfrmTextBoxProperties* dialog = frmTextBoxProperties;
    dialog->RBMemo->setPlainText(box->Lines().join('\n'));
    dialog->cbFonts->setCurrentText(box->Font().family());
    const QString ownSize = QString::number(box->Font().pointSize());
    dialog->cbtxtSize->setCurrentIndex(dialog->cbtxtSize->findText(ownSize));
    // A size that is not in the list is still the box's own: OK keeps it.
    if (dialog->cbtxtSize->currentIndex() < 0)
        dialog->cbtxtSize->setCurrentText(ownSize);
    dialog->btnFontColor->SetColor(box->FontColor());
    if (Dialogs().ExecModal(*dialog) != QDialog::Accepted)
        return;
    SetDocumentSaved(false);
    const int size = StrToInt(dialog->cbtxtSize->currentText().toStdString());
    LastFontSize = size;
    LastFontName = dialog->cbFonts->currentText();
    LastFontColor = TColorFromColor(dialog->btnFontColor->Color());
    box->SetLines(dialog->RBMemo->toPlainText().split('\n'));
    QFont font = box->Font();
    font.setFamily(LastFontName);
    if (size > 0)
        font.setPointSize(size);
    box->SetFont(font);
    box->SetFontColor(dialog->btnFontColor->Color());
    box->update();
}

void TfrmTessaria::tbAlignLeftClick(QAction* sender)
{
    TRectBox* box = SelectedBox();
    if (!box || !box->TextBox() || !sender)
        return;
    switch (sender->property("Tag").toInt()) {
    case 0: box->SetAlignment(TAlignment::taLeftJustify); break;
    case 1: box->SetAlignment(TAlignment::taCenter); break;
    case 2: box->SetAlignment(TAlignment::taRightJustify); break;
    default: return;
    }
    LastAlignment = box->Alignment();
}

bool TfrmTessaria::SetLinks()
{
    const QList<TRectBox*> boxes = Boxes();
    std::vector<TLinkCandidate> candidates;
    for (int i = 0; i < boxes.size(); ++i)
        candidates.push_back({i, boxes[i]->Tag(), boxes[i]->TextBox()});
    const TLinkPairing pairing = PairLinks(candidates);
    for (const TLinkPair& pair : pairing.Pairs) {
        boxes[pair.Parent]->SetLinkChild(boxes[pair.Child]);
        boxes[pair.Child]->SetLinkParent(boxes[pair.Parent]);
    }
    return pairing.Ok();
}

} // namespace tessaria
