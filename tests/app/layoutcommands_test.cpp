#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include "app/layoutfixture.h"
#include "app/forms.h"
#include "browse/filelistview.h"
#include "controls/colorbutton.h"
#include "controls/foldertree.h"
#include "controls/statusbar.h"
#include "controls/updown.h"
#include "layout/canvaspanel.h"
#include "layout/layoutrules.h"
#include "layout/rectbox.h"
#include "layout/ufrmclip.h"
#include "layout/ulorvaneoptions.h"
#include "layout/utextboxproperties.h"
#include "imageio/qt/qimagebridge.h"
#include "platform/datetext.h"

using namespace tessaria;
using namespace tessaria::test;


TEST_F(Layout, DroppingAFileMakesABoxSizedInInches)
{
    TfrmTessaria& w = Start();
    SelectFile(w, "a.jpg", Picture(1600, 1200));
    Drop(w.CurrentPage, QPoint(30, 40));
    TRectBox* box = LastBox(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry(), QRect(30, 40, 213, 160)); // 160 / 0.75 = 213.33
    EXPECT_EQ(box->FileName(), QString::fromStdString(Folder.File("a.jpg")));
    EXPECT_EQ(box->PictureWidth(), 1600);
    EXPECT_EQ(box->PictureHeight(), 1200);
    EXPECT_DOUBLE_EQ(double(box->Ratio()), 0.75);
    EXPECT_EQ(box->Picture().Width(), 196);
    EXPECT_EQ(box->Picture().Height(), 147);
    EXPECT_EQ(box->CanvasPPI(), 40);
    EXPECT_TRUE(box->HidePassiveFrame());
    EXPECT_TRUE(box->Proportionate());
    EXPECT_FALSE(box->Focus());
    EXPECT_EQ(box->parentWidget(), w.CurrentPage);
    EXPECT_FALSE(w.DocumentSaved);

    Options()->cbMaintainProportion->click();
    SelectFile(w, "b.jpg", Picture(100, 400));
    Drop(w.CurrentPage, QPoint(0, 0));
    EXPECT_EQ(LastBox(w)->size(), QSize(240, 160));
    EXPECT_EQ(LastBox(w)->Picture().Width(), 49);
    EXPECT_EQ(LastBox(w)->Picture().Height(), 196);
    EXPECT_FALSE(LastBox(w)->Proportionate());
    EXPECT_FALSE(w.Boxes().first()->Proportionate()); // unticking reaches every box
    Options()->cbMaintainProportion->click();
    EXPECT_TRUE(w.Boxes().first()->Proportionate());

    Options()->txtHeight->setText("abc");
    SelectFile(w, "c.jpg", Picture(400, 300));
    Drop(w.CurrentPage, QPoint(0, 0));
    EXPECT_EQ(Options()->txtHeight->text(), "4.0");
    EXPECT_EQ(LastBox(w)->height(), 160);

    // 4 inches high, a 400 x 100 picture would be 640 pixels wide: wider than
    // the page, so the box is scaled down to the page's width, keeping 4:1.
    ASSERT_EQ(w.CurrentPage->width(), 330); // the stand-in Letter printer's page
    SelectFile(w, "d.jpg", Picture(400, 100));
    Drop(w.CurrentPage, QPoint(0, 0));
    EXPECT_EQ(LastBox(w)->size(), QSize(330, 82)); // 82.5, halves to even
    EXPECT_EQ(LastBox(w)->Picture().Width(), 196);
    EXPECT_EQ(LastBox(w)->Picture().Height(), 49);
}

TEST_F(Layout, ADropWithNothingToPlaceDoesNothing)
{
    TfrmTessaria& w = Start();
    Drop(w.CurrentPage, QPoint(10, 10)); // nothing selected
    EXPECT_TRUE(Dialogs->Shown.empty());
    // Selected, but no preview picture: the file itself is read, and this one
    // is no picture, so its reader's message is all that happens.
    SelectFile(w, "a.jpg", TBitmap());
    Drop(w.CurrentPage, QPoint(10, 10), "preview");
    EXPECT_TRUE(w.Boxes().isEmpty());
    EXPECT_TRUE(w.DocumentSaved);
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error).size(), 1);
    EXPECT_EQ(Dialogs->Shown.size(), 1u);
}

TEST_F(Layout, ADesktopDropLoadsTheDroppedFileItself)
{
    TfrmTessaria& w = Start();
    const QString path = QString::fromStdString(Folder.File("desk.bmp"));
    ASSERT_TRUE(ToQImage(Picture(64, 32)).save(path, "BMP"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    w.PnlWhiteDragDrop(w.CurrentPage, &data, QPoint(5, 6));
    ASSERT_EQ(w.Boxes().size(), 1);
    EXPECT_EQ(LastBox(w)->FileName(), path);
    EXPECT_EQ(LastBox(w)->PictureWidth(), 64);
    EXPECT_EQ(LastBox(w)->size(), QSize(320, 160));
}

TEST_F(Layout, DroppingOntoABoxReplacesItsPictureAfterYes)
{
    TfrmTessaria& w = Start();
    SelectFile(w, "a.jpg", Picture(1600, 1200));
    Drop(w.CurrentPage, QPoint(10, 10));
    TRectBox* box = LastBox(w);
    box->SetRotation(90);
    w.DocumentSaved = true;
    SelectFile(w, "b.jpg", Picture(100, 200));
    Dialogs->Answers = {TMsgAnswer::No};
    Drop(box, QPoint(20, 20));
    EXPECT_EQ(Dialogs->LastText(), "replace " + QString::fromStdString(Folder.File("a.jpg")) + " with " +
                                       QString::fromStdString(Folder.File("b.jpg")) + "?");
    EXPECT_TRUE(box->FileName().endsWith("a.jpg"));
    EXPECT_TRUE(w.DocumentSaved);
    Dialogs->Answers = {TMsgAnswer::Yes};
    Drop(box, QPoint(20, 20));
    EXPECT_TRUE(box->FileName().endsWith("b.jpg"));
    EXPECT_EQ(box->size(), QSize(80, 160)); // the height stays, the width follows
    EXPECT_EQ(box->Rotation(), 0);
    EXPECT_EQ(box->PictureWidth(), 100);
    EXPECT_FALSE(w.DocumentSaved);
    EXPECT_EQ(w.Boxes().size(), 1);
}

TEST_F(Layout, CaptionsInTheirThreeModes)
{
    TfrmTessaria& w = Start();
    const QString line[3] = {"TextBox", "a.jpg", ""};
    for (int mode = 0; mode < 3; ++mode) {
        Options()->SetAutoCaption(TAutoCaption(mode));
        SelectFile(w, "a.jpg", Picture(1600, 1200));
        Drop(w.CurrentPage, QPoint(50, 40));
        TRectBox* picture = w.Boxes()[w.Boxes().size() - (mode == 0 ? 1 : 2)];
        if (mode == 0) {
            EXPECT_EQ(picture->LinkChild(), nullptr);
            EXPECT_EQ(w.SelectedBox(), nullptr);
            continue;
        }
        TRectBox* text = picture->LinkChild();
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->LinkParent(), picture);
        EXPECT_TRUE(text->TextBox());
        EXPECT_EQ(w.SelectedBox(), text);
        EXPECT_EQ(text->geometry(), QRect(50, 200, 213, 18));
        EXPECT_GT(text->Tag(), 0);
        EXPECT_EQ(text->Tag(), picture->Tag());
        const QString date = DateTimeToStr(QFileInfo(picture->FileName()).lastModified());
        EXPECT_EQ(text->Lines(), QStringList{mode == 1 ? line[1] : "a.jpg  (1200x1600)  " + date});
    }
}

TEST_F(Layout, AddTextFreeOrLinkedAndTheAlreadyLinkedMessage)
{
    TfrmTessaria& w = Start();
    w.tbAddText->trigger();
    TRectBox* free = LastBox(w);
    EXPECT_EQ(free->geometry(), QRect(2, 2, 60, 18));
    EXPECT_EQ(free->Lines(), QStringList{"TextBox"});
    EXPECT_EQ(free->Alignment(), TAlignment::taCenter);
    EXPECT_EQ(free->Font().family(), "Arial");
    EXPECT_EQ(free->Font().pointSize(), 10);
    EXPECT_EQ(free->FontColor(), QColor(Qt::black));
    EXPECT_EQ(free->Tag(), 0);
    EXPECT_TRUE(free->Focus());
    EXPECT_EQ(free->PageFont().pixelSize(), 6); // 10 x 40 / 72, about 6 pixels

    auto* picture = w.CreateBox(w.CurrentPage, TfrmTessaria::bhAll);
    picture->setGeometry(50, 40, 300, 200);
    picture->SetFocus(true);
    w.tbAddText->trigger();
    TRectBox* caption = LastBox(w);
    EXPECT_EQ(caption->geometry(), QRect(50, 240, 300, 18));
    EXPECT_EQ(picture->LinkChild(), caption);
    EXPECT_EQ(caption->Tag(), 1);
    EXPECT_EQ(picture->Tag(), 1);

    picture->UnfocusAll();
    picture->SetFocus(true);
    const int before = w.Boxes().size();
    w.tbAddText->trigger();
    EXPECT_EQ(w.Boxes().size(), before);
    EXPECT_EQ(Dialogs->LastText(), "You already have text linked to the selected image. Select another image or edit "
                                   "the text of the selected image by double clicking the Text Box");
}

TEST_F(Layout, ACaptionFollowsItsPicture)
{
    TfrmTessaria& w = Start();
    auto* picture = w.CreateBox(w.CurrentPage, TfrmTessaria::bhAll);
    picture->setGeometry(50, 40, 100, 80);
    picture->show();
    picture->SetFocus(true);
    w.tbAddText->trigger();
    TRectBox* caption = picture->LinkChild();
    // A drag on the picture's right edge: the caption takes its width.
    QTest::mouseMove(picture, QPoint(98, 39));
    QTest::mousePress(picture, Qt::LeftButton, Qt::NoModifier, QPoint(98, 39));
    QMouseEvent move(QEvent::MouseMove, QPointF(150, 39), picture->mapToGlobal(QPointF(150, 39)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &move);
    QTest::mouseRelease(picture, Qt::LeftButton, Qt::NoModifier, QPoint(150, 39));
    EXPECT_EQ(caption->width(), 150);
    EXPECT_EQ(w.sb1->PanelText(1), "3.750 X 2.000 inches");
    picture->move(10, 10);
    picture->repaint();
    EXPECT_EQ(caption->pos(), QPoint(10, 90));
}

TEST_F(Layout, TheTextBoxPropertiesDialogEditsAndSetsTheDefaults)
{
    TfrmTessaria& w = Start();
    w.tbAddText->trigger();
    TRectBox* text = LastBox(w);
    w.DocumentSaved = true;
    Dialogs->OnModal = [](QDialog& d) {
        auto& p = static_cast<TfrmTextBoxProperties&>(d);
        EXPECT_EQ(p.RBMemo->toPlainText(), "TextBox");
        EXPECT_EQ(p.cbtxtSize->currentText(), "10");
        p.RBMemo->setPlainText("First line\nSecond line");
        p.cbFonts->setCurrentText("Times New Roman");
        p.cbtxtSize->setCurrentText("14");
        p.btnFontColor->SetColor(QColor(0, 0, 255));
        return int(QDialog::Accepted);
    };
    emit text->OnDblClick(text);
    EXPECT_EQ(text->Lines(), (QStringList{"First line", "Second line"}));
    EXPECT_EQ(text->Font().family(), "Times New Roman");
    EXPECT_EQ(text->Font().pointSize(), 14);
    EXPECT_EQ(text->FontColor(), QColor(0, 0, 255));
    EXPECT_FALSE(w.DocumentSaved);
    w.tbAddText->trigger(); // the next one uses the new defaults
    EXPECT_EQ(LastBox(w)->Font().family(), "Times New Roman");
    EXPECT_EQ(LastBox(w)->Font().pointSize(), 14);
    EXPECT_EQ(LastBox(w)->FontColor(), QColor(0, 0, 255));

    // A size that is no number fails with the conversion error; the box keeps its text.
    Dialogs->OnModal = [](QDialog& d) {
        auto& p = static_cast<TfrmTextBoxProperties&>(d);
        p.RBMemo->setPlainText("changed");
        p.cbtxtSize->setCurrentText("big");
        return int(QDialog::Accepted);
    };
    emit text->OnDblClick(text);
    EXPECT_EQ(Dialogs->LastText(), "'big' is not a valid integer value");
    EXPECT_EQ(text->Lines(), (QStringList{"First line", "Second line"}));
    // Cancel changes nothing.
    Dialogs->OnModal = [](QDialog&) { return int(QDialog::Rejected); };
    emit text->OnDblClick(text);
    EXPECT_EQ(text->Font().pointSize(), 14);
}

TEST_F(Layout, AlignmentButtonsActOnTextBoxesOnly)
{
    TfrmTessaria& w = Start();
    auto* picture = w.CreateBox(w.CurrentPage, TfrmTessaria::bhAll);
    picture->SetFocus(true);
    w.tbAlignRight->trigger();
    EXPECT_EQ(w.LastAlignment, TAlignment::taCenter);
    w.tbAddText->trigger();
    TRectBox* text = LastBox(w);
    w.tbAlignRight->trigger();
    EXPECT_EQ(text->Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(w.LastAlignment, TAlignment::taRightJustify);
    w.tbAlignLeft->trigger();
    EXPECT_EQ(text->Alignment(), TAlignment::taLeftJustify);
}

TEST_F(Layout, DeleteWhileTheFileListHasTheFocus)
{
    TfrmTessaria& w = Start();
    auto* picture = w.CreateBox(w.CurrentPage, TfrmTessaria::bhAll);
    picture->SetFocus(true);
    w.tbAddText->trigger();
    TRectBox* caption = LastBox(w);
    // Deleting the caption frees the picture's link.
    w.activateWindow();
    w.LV1->Details()->setFocus();
    QApplication::processEvents();
    QTest::keyClick(w.LV1->Details(), Qt::Key_Delete);
    EXPECT_EQ(w.Boxes(), QList<TRectBox*>{picture});
    EXPECT_EQ(picture->LinkChild(), nullptr);
    EXPECT_EQ(picture->Tag(), 0);
    // Deleting a picture deletes its caption too.
    picture->SetFocus(true);
    w.tbAddText->trigger();
    picture->UnfocusAll();
    picture->SetFocus(true);
    QTest::keyClick(w.LV1->Details(), Qt::Key_Delete);
    EXPECT_TRUE(w.Boxes().isEmpty());
    Q_UNUSED(caption);
}

TEST_F(Layout, CutCopyAndPasteKeepPairsWithNewLinkIds)
{
    TfrmTessaria& w = Start();
    SelectFile(w, "a.jpg", Picture(1600, 1200));
    Drop(w.CurrentPage, QPoint(50, 40));
    TRectBox* picture = LastBox(w);
    picture->SetRotation(90);
    picture->SetFocus(true);
    w.tbAddText->trigger();
    picture->UnfocusAll();
    picture->SetFocus(true);
    w.Paste1->trigger(); // before a copy: nothing
    EXPECT_EQ(w.Boxes().size(), 2);
    w.Copy1->trigger();
    w.tbNewPage->trigger();
    w.Paste1->trigger();
    w.Paste1->trigger();
    ASSERT_EQ(w.Boxes().size(), 6);
    QList<TRectBox*> pasted = w.PageBoxes(w.CurrentPage);
    ASSERT_EQ(pasted.size(), 4);
    EXPECT_EQ(pasted[0]->pos(), QPoint(0, 0));
    EXPECT_EQ(pasted[0]->LinkChild(), pasted[1]);
    EXPECT_EQ(pasted[2]->LinkChild(), pasted[3]);
    EXPECT_EQ(pasted[0]->Tag(), 2);
    EXPECT_EQ(pasted[2]->Tag(), 3);
    EXPECT_EQ(pasted[1]->Tag(), 2);
    EXPECT_EQ(pasted[0]->Rotation(), 90);
    EXPECT_EQ(pasted[0]->PictureWidth(), 1600);
    EXPECT_EQ(pasted[0]->FileName(), picture->FileName());
    EXPECT_EQ(pasted[1]->width(), pasted[0]->width());
    EXPECT_EQ(w.SelectedBox(), nullptr);
    pasted[0]->repaint();
    EXPECT_EQ(pasted[1]->pos(), QPoint(0, pasted[0]->height()));

    // Cutting the caption leaves the picture without text; Add Text works again.
    w.CanvasPageNumber->SetPosition(1);
    w.CanvasPageNumberClick();
    picture->LinkChild()->SetFocus(true);
    w.DocumentSaved = true;
    w.Cut1->trigger();
    EXPECT_FALSE(w.DocumentSaved);
    EXPECT_EQ(picture->LinkChild(), nullptr);
    picture->SetFocus(true);
    w.tbAddText->trigger();
    EXPECT_NE(picture->LinkChild(), nullptr);
    // Cutting the picture takes its caption along.
    picture->UnfocusAll();
    picture->SetFocus(true);
    w.Cut1->trigger();
    EXPECT_TRUE(w.PageBoxes(w.Pages[0]).isEmpty());
    w.Paste1->trigger();
    ASSERT_EQ(w.PageBoxes(w.Pages[0]).size(), 2);
    EXPECT_NE(w.PageBoxes(w.Pages[0])[0]->LinkChild(), nullptr);
}

TEST_F(Layout, TurnsSwapTheSidesAndAutoAlignSnapsEveryPage)
{
    TfrmTessaria& w = Start();
    auto* box = w.CreateBox(w.CurrentPage, TfrmTessaria::bhAll);
    box->setGeometry(40, 50, 300, 200);
    box->SetRatio(2.0L / 3.0L);
    TBitmap shown = Picture(196, 131);
    box->SetPicture(shown);
    box->SetFocus(true);
    w.tbRotateRight->trigger();
    EXPECT_EQ(box->geometry(), QRect(40, 50, 200, 300));
    EXPECT_NEAR(double(box->Ratio()), 1.5, 1e-12);
    EXPECT_EQ(box->Rotation(), 90);
    EXPECT_EQ(box->Picture().Width(), 131);
    w.tbRotateLeft->trigger();
    w.tbRotateLeft->trigger();
    EXPECT_EQ(box->Rotation(), 270);
    w.tbRotateRight->trigger();
    EXPECT_EQ(box->Rotation(), 0);
    EXPECT_EQ(std::vector<uint8_t>(box->Picture().Bits(), box->Picture().Bits() + box->Picture().RowBytes() * 131),
              std::vector<uint8_t>(shown.Bits(), shown.Bits() + shown.RowBytes() * 131));

    w.tbAddText->trigger(); // linked caption; turning a text box is refused
    EXPECT_FALSE(w.tbRotateRight->isEnabled()); // the buttons say so before
    w.tbRotateLeftClick(w.tbRotateRight);      // and the command itself still does
    EXPECT_EQ(Dialogs->LastText(), "You can not rotate a text box");

    // Auto-align: boxes of every page, once the current page has one.
    ASSERT_EQ(w.CurrentPage->width(), w.CurrentPage->width());
    const int W = w.CurrentPage->width();
    box->move(37, 299);
    auto* edge = w.CreateBox(w.CurrentPage, TfrmTessaria::bhAll);
    edge->move(W - 1, -5);
    auto* outside = w.CreateBox(w.CurrentPage, TfrmTessaria::bhAll);
    outside->move(W, 12);
    w.tbNewPage->trigger();
    w.tbAlign->trigger(); // nothing on this page: nothing moves
    EXPECT_EQ(box->pos(), QPoint(37, 299));
    w.CanvasPageNumber->SetPosition(1);
    w.CanvasPageNumberClick();
    w.tbAlign->trigger();
    EXPECT_EQ(box->pos(), QPoint(30, 290));
    EXPECT_EQ(edge->pos(), QPoint((W - 1) / 10 * 10, -5));
    EXPECT_EQ(outside->pos(), QPoint(W, 10));
}

TEST_F(Layout, TheFileMaskRoundTripsThroughTheOptions)
{
    TfrmTessaria& w = Start();
    Dialogs->OnModal = [](QDialog& d) {
        auto& o = static_cast<TfrmLorvaneOptions&>(d);
        QStringList ticked;
        for (QCheckBox* b : o.FileTypeBoxes)
            if (b->isChecked())
                ticked << b->text();
        EXPECT_EQ(ticked, (QStringList{"bmp", "jpg", "tif", "pcd", "pcx", "png", "webp", "heic", "heif", "avif"}));
        o.BtnOKClick();
        return o.result();
    };
    w.tbProperties->trigger();
    EXPECT_EQ(w.FileMask, "*.bmp;*.jpg;*.tif;*.pcd;*.pcx;*.png;*.webp;*.heic;*.heif;*.avif;");

    Dialogs->OnModal = [](QDialog& d) {
        auto& o = static_cast<TfrmLorvaneOptions&>(d);
        for (QCheckBox* b : o.FileTypeBoxes)
            b->setChecked(false);
        o.BtnOKClick();
        return o.result();
    };
    w.Options1->trigger();
    EXPECT_EQ(w.FileMask, "");
    // "tiff" in a mask ticks "tif" too.
    Options()->ChecksFromFileMask("*.tiff;");
    EXPECT_TRUE(Options()->FileTypeBoxes[2]->isChecked());
    EXPECT_EQ(Options()->FileMaskFromChecks(), "*.tif;");
}

TEST_F(Layout, TheOptionsDialogsInitialState)
{
    Start();
    TfrmLorvaneOptions* o = Options();
    EXPECT_EQ(o->windowTitle(), "Tessaria Options");
    EXPECT_EQ(o->txtHeight->text(), "4.0");
    EXPECT_EQ(o->txtWidth->text(), "6.0");
    EXPECT_FALSE(o->txtWidth->isEnabled());
    EXPECT_TRUE(o->cbMaintainProportion->isChecked());
    EXPECT_EQ(o->AutoCaption(), TAutoCaption::None);
    EXPECT_EQ(o->cbDPI->currentText(), "200");
    EXPECT_EQ(o->cbFilterBox->currentText(), "Lanczos3");
    EXPECT_EQ(o->cbFilterBox->count(), 7);
    EXPECT_FALSE(o->cbPrintInfo->isChecked());
    EXPECT_TRUE(o->cbShowGrid->isHidden());
    EXPECT_TRUE(o->FileTypeBoxes[4]->isHidden());  // ico
    EXPECT_TRUE(o->FileTypeBoxes[5]->isHidden());  // wmf
    EXPECT_FALSE(o->FileTypeBoxes[6]->isHidden()); // tga
    // The types read through their libraries follow the eleven of old.
    ASSERT_EQ(o->FileTypeBoxes.size(), 16);
    const QStringList added = {"png", "webp", "heic", "heif", "avif"};
    for (int i = 0; i < added.size(); ++i) {
        EXPECT_EQ(o->FileTypeBoxes[11 + i]->text(), added[i]);
        EXPECT_EQ(o->FileTypeBoxes[11 + i]->objectName(), QString("cbFileType%1").arg(12 + i));
        EXPECT_FALSE(o->FileTypeBoxes[11 + i]->isHidden());
    }
    // The size edits take digits, "." and backspace only.
    o->txtHeight->clear();
    o->txtHeight->setFocus();
    QTest::keyClicks(o->txtHeight, "3a.,5x");
    EXPECT_EQ(o->txtHeight->text(), "3.5");
    QTest::keyClick(o->txtHeight, Qt::Key_Backspace);
    EXPECT_EQ(o->txtHeight->text(), "3.");
}

TEST(LayoutRules, SizeTextsCaptionsAndRaster)
{
    EXPECT_EQ(BoxSizeText(240, 160, 40), "6.000 X 4.000 inches");
    EXPECT_EQ(BoxSizeText(20, 4, 40), "0.500 X 0.100 inches");
    EXPECT_EQ(FileNamePart("/home/ann/a.jpg"), "a.jpg");
    EXPECT_EQ(FileNamePart("C:\\Pictures\\b.bmp"), "b.bmp");
    EXPECT_EQ(FileNamePart("C:b.bmp"), "b.bmp");
    EXPECT_EQ(CaptionLine(TAutoCaption::FilenameSizeAndDate, "/x/a.jpg", 1600, 1200, "12/9/26 5:00:00 PM"),
              "a.jpg  (1200x1600)  12/9/26 5:00:00 PM");
    EXPECT_EQ(MaxTag({}), 0);
    EXPECT_EQ(MaxTag({0, 3, 2}), 3);
    for (const auto& [in, out] : {std::pair{37, 30}, {299, 290}, {-5, -5}, {300, 300}, {0, 0}, {9, 0}})
        EXPECT_EQ(SnapToRaster(in, 300), out) << in;
    EXPECT_EQ(SnapToRaster(305, 301), 300); // the last cell reaches past the page
}
