// Working on a layout without losing it: undo and redo of every change, the
// questions before work is dropped, and the editor's faults that lost work.
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTextStream>
#include <QTreeView>
#include <QUndoStack>
#include <QUrl>
#include <functional>

#include "app/layoutfixture.h"
#include "controls/colorbutton.h"
#include "controls/updown.h"
#include "document/documentreader.h"
#include "imageio/picture.h"
#include "layout/canvaspanel.h"
#include "layout/layouthistory.h"
#include "layout/ufrmclip.h"
#include "layout/utextboxproperties.h"
#include "platform/errorbox.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

// Everything a layout holds that a user could see or save, page by page.
QString Describe(TfrmTessaria& w)
{
    QString text;
    QTextStream out(&text);
    const QList<TRectBox*> all = w.Boxes();
    out << "pages " << w.Pages.size() << ", shown " << w.Pages.indexOf(w.CurrentPage) + 1 << ", counter "
        << w.txtPage->text() << w.txtPageCount->text() << "\n";
    for (int p = 0; p < w.Pages.size(); ++p) {
        TCanvasPanel* page = w.Pages[p];
        out << "page " << p + 1 << " " << page->width() << "x" << page->height() << "\n";
        for (TRectBox* b : w.PageBoxes(page)) {
            uint32_t sum = 0;
            const TBitmap& shown = b->Picture();
            for (int y = 0; y < shown.Height(); ++y)
                for (int x = 0; x < int(shown.RowBytes()); ++x)
                    sum = sum * 31 + shown.ScanLine(y)[x];
            const QRect r = b->geometry();
            out << "  #" << all.indexOf(b) << " [" << r.x() << "," << r.y() << " " << r.width() << "x" << r.height()
                << "] turned " << b->Rotation() << " ratio " << QString::number(double(b->Ratio()), 'g', 12)
                << " shows " << shown.Width() << "x" << shown.Height() << ":" << sum << " of " << b->PictureWidth()
                << "x" << b->PictureHeight() << " '" << QFileInfo(b->FileName()).fileName() << "' text '"
                << b->Lines().join("|") << "' " << b->Font().family() << " " << b->Font().pointSize() << " "
                << b->FontColor().name() << " align " << int(b->Alignment()) << " tag " << b->Tag() << " child "
                << all.indexOf(b->LinkChild()) << " parent " << all.indexOf(b->LinkParent()) << " visible "
                << b->isVisibleTo(page) << "\n";
        }
    }
    return text;
}

class Editing : public Layout {
protected:
    TfrmTessaria& Begin()
    {
        TfrmTessaria& w = Start();
        w.activateWindow();
        QApplication::processEvents();
        return w;
    }
    static TRectBox* Box(TfrmTessaria& w, int i) { return w.PageBoxes(w.CurrentPage).value(i); }
    // A click inside the box, away from its handles.
    static void Click(TRectBox* b)
    {
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(b->width() / 3, b->height() / 3));
    }
    static void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }
    static int Steps(TfrmTessaria& w) { return w.History->Stack()->count(); }
    QString DocPath(const std::string& name) { return QString::fromStdString(Folder.File(name)); }
    static QStringList Confirms(TScriptedDialogs* d) { return d->Texts(TScriptedDialogs::TKind::Confirm); }
};

} // namespace

TEST_F(Editing, EveryChangeUndoesAndRedoesToTheSameLayout)
{
    TfrmTessaria& w = Begin();
    Options()->SetAutoCaption(TAutoCaption::Filename);
    SelectFile(w, "a.jpg", Picture(1600, 1200));
    struct TStep {
        const char* Name;
        std::function<void()> Do;
    };
    const std::vector<TStep> steps = {
        {"place a captioned picture", [&] { Drop(w.CurrentPage, QPoint(20, 30)); }},
        {"move it with the mouse", [&] { DragBox(Box(w, 0), QPoint(60, 60), QPoint(100, 75)); }},
        {"resize it by its bottom-right handle",
         [&] {
             TRectBox* b = Box(w, 0);
             DragBox(b, QPoint(b->width() - 2, b->height() - 2), QPoint(b->width() - 50, b->height() - 2));
         }},
        {"turn it",
         [&] {
             Click(Box(w, 0));
             w.tbRotateRight->trigger();
         }},
        {"edit its caption",
         [&] {
             Dialogs->OnModal = [](QDialog& d) {
                 auto& p = static_cast<TfrmTextBoxProperties&>(d);
                 p.RBMemo->setPlainText("Harbour\nat dawn");
                 p.cbFonts->setCurrentText("Times New Roman");
                 p.cbtxtSize->setCurrentText("14");
                 p.btnFontColor->SetColor(QColor(0, 0, 255));
                 return int(QDialog::Accepted);
             };
             TRectBox* caption = Box(w, 0)->LinkChild();
             emit caption->OnDblClick(caption);
         }},
        {"align the caption right",
         [&] {
             Click(Box(w, 1));
             w.tbAlignRight->trigger();
         }},
        {"add a free text",
         [&] {
             QTest::mouseClick(w.CurrentPage, Qt::LeftButton, Qt::NoModifier,
                               QPoint(w.CurrentPage->width() - 3, w.CurrentPage->height() - 3));
             w.tbAddText->trigger();
         }},
        {"move the text with the arrow keys",
         [&] {
             w.ScrollBox1->setFocus();
             Key(Qt::Key_Right);
             Key(Qt::Key_Right);
             Key(Qt::Key_Down, Qt::ShiftModifier);
         }},
        {"copy and paste the picture",
         [&] {
             Click(Box(w, 0));
             w.Copy1->trigger();
             w.Paste1->trigger();
         }},
        {"delete the pasted picture",
         [&] {
             Click(Box(w, 3));
             Key(Qt::Key_Delete);
         }},
        {"auto-align", [&] { w.tbAlign->trigger(); }},
        {"replace the picture",
         [&] {
             SelectFile(w, "b.jpg", Picture(100, 200));
             Dialogs->Answers = {TMsgAnswer::Yes};
             Drop(Box(w, 0), QPoint(30, 30));
         }},
        {"add a page", [&] { w.tbNewPage->trigger(); }},
        {"place a picture on it", [&] { Drop(w.CurrentPage, QPoint(5, 5)); }},
        {"delete that page",
         [&] {
             Dialogs->Answers = {TMsgAnswer::Yes};
             w.tbDeleteCurrentPage->trigger();
         }},
        {"cut the first picture",
         [&] {
             Click(Box(w, 0));
             w.Cut1->trigger();
         }},
    };

    QStringList states{Describe(w)};
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.Name);
        step.Do();
        states << Describe(w);
        EXPECT_NE(states.last(), states[states.size() - 2]) << "the step changed nothing";
        EXPECT_EQ(Steps(w), states.size() - 1) << "one undo step per action";
        EXPECT_FALSE(w.DocumentSaved);
    }
    EXPECT_TRUE(w.Undo1->isEnabled());
    EXPECT_FALSE(w.Redo1->isEnabled());
    for (int i = int(steps.size()) - 1; i >= 0; --i) {
        w.Undo1->trigger();
        EXPECT_EQ(Describe(w), states[i]) << "undo: " << steps[size_t(i)].Name;
    }
    EXPECT_FALSE(w.Undo1->isEnabled());
    EXPECT_TRUE(w.DocumentSaved); // back where the window started
    for (size_t i = 0; i < steps.size(); ++i) {
        w.Redo1->trigger();
        EXPECT_EQ(Describe(w), states[int(i) + 1]) << "redo: " << steps[i].Name;
    }
    EXPECT_FALSE(w.Redo1->isEnabled());
    // A new change after an undo drops what could have been redone.
    w.Undo1->trigger();
    EXPECT_TRUE(w.Redo1->isEnabled());
    w.tbNewPage->trigger();
    EXPECT_FALSE(w.Redo1->isEnabled());
}

TEST_F(Editing, UndoAcrossAPageDeletionBringsBackThePageAndItsBoxesInTheirOrder)
{
    TfrmTessaria& w = Begin();
    Options()->SetAutoCaption(TAutoCaption::Filename);
    SelectFile(w, "a.jpg", Picture(300, 200));
    w.tbNewPage->trigger();
    Drop(w.CurrentPage, QPoint(40, 40));
    w.tbAddText->trigger(); // the caption is selected: a free text
    w.tbNewPage->trigger();
    const QList<TCanvasPanel*> pages = w.Pages;
    TCanvasPanel* second = pages[1];
    const QList<TRectBox*> boxes = w.PageBoxes(second);
    ASSERT_EQ(boxes.size(), 3);
    QPointer<TRectBox> picture = boxes[0];
    w.CanvasPageNumber->ClickButton(TUDBtnType::btPrev);
    ASSERT_EQ(w.CurrentPage, second);
    const QString before = Describe(w);

    Dialogs->Answers = {TMsgAnswer::Yes};
    w.tbDeleteCurrentPage->trigger();
    ASSERT_EQ(w.Pages, (QList<TCanvasPanel*>{pages[0], pages[2]}));
    EXPECT_EQ(w.CountBoxes(), 0);

    w.Undo1->trigger();
    EXPECT_EQ(w.Pages, pages);
    EXPECT_EQ(w.PageBoxes(second), boxes);
    EXPECT_EQ(boxes[0]->LinkChild(), boxes[1]);
    EXPECT_EQ(boxes[1]->LinkParent(), boxes[0]);
    EXPECT_EQ(w.CurrentPage, second);
    EXPECT_EQ(w.txtPage->text(), "2");
    EXPECT_EQ(w.txtPageCount->text(), " of 3");
    EXPECT_EQ(Describe(w), before);

    w.Redo1->trigger();
    EXPECT_EQ(w.Pages, (QList<TCanvasPanel*>{pages[0], pages[2]}));
    EXPECT_EQ(w.txtPageCount->text(), " of 2");
    EXPECT_FALSE(picture.isNull()); // kept while a step can bring it back
    w.New1->trigger();
    EXPECT_TRUE(picture.isNull());
    EXPECT_FALSE(w.Undo1->isEnabled()); // a new layout starts a new history
}

TEST_F(Editing, SavedFollowsTheHistoryAndTheCaptionNamesTheDocument)
{
    TfrmTessaria& w = Begin();
    EXPECT_EQ(w.windowTitle(), "Tessaria by Corvanel Software");
    SelectFile(w, "a.jpg", Picture(400, 300));
    Drop(w.CurrentPage, QPoint(40, 40));
    EXPECT_FALSE(w.DocumentSaved);
    EXPECT_EQ(w.windowTitle(), "Tessaria by Corvanel Software"); // no document yet

    Dialogs->FileNames = {DocPath("trip.tsd")};
    w.Save1->trigger();
    EXPECT_TRUE(w.DocumentSaved);
    EXPECT_EQ(w.windowTitle(), "trip.tsd[*] - Tessaria by Corvanel Software");
    EXPECT_FALSE(w.isWindowModified());

    Click(Box(w, 0));
    Key(Qt::Key_Right);
    EXPECT_FALSE(w.DocumentSaved);
    EXPECT_TRUE(w.isWindowModified());
    w.Undo1->trigger(); // back at the saved layout
    EXPECT_TRUE(w.DocumentSaved);
    EXPECT_FALSE(w.isWindowModified());
    w.Undo1->trigger(); // before the save: the picture was not there
    EXPECT_FALSE(w.DocumentSaved);
    EXPECT_EQ(w.CountBoxes(), 0);
    w.Redo1->trigger();
    EXPECT_TRUE(w.DocumentSaved);

    // Opening names the window after the opened file and starts a new history.
    Dialogs->FileNames = {DocPath("trip.tsd")};
    w.Open1->trigger();
    EXPECT_EQ(w.windowTitle(), "trip.tsd[*] - Tessaria by Corvanel Software");
    EXPECT_TRUE(w.DocumentSaved);
    EXPECT_FALSE(w.Undo1->isEnabled());
    w.New1->trigger();
    EXPECT_EQ(w.windowTitle(), "Tessaria by Corvanel Software");
}

TEST_F(Editing, ClosingAndNewAskBeforeUnsavedChangesAreDropped)
{
    struct TCase {
        const char* Name;
        bool Close; // else New
        TMsgAnswer Answer;
        bool SaveDialogCancelled;
        bool LayoutGone; // closed, or cleared by New
        bool Saved;      // the file holds the layout
    };
    const TCase cases[] = {
        {"close, Yes", true, TMsgAnswer::Yes, false, true, true},
        {"close, Yes, save cancelled", true, TMsgAnswer::Yes, true, false, false},
        {"close, No", true, TMsgAnswer::No, false, true, false},
        {"close, Cancel", true, TMsgAnswer::Cancel, false, false, false},
        {"New, Yes", false, TMsgAnswer::Yes, false, true, true},
        {"New, No", false, TMsgAnswer::No, false, true, false},
        {"New, Cancel", false, TMsgAnswer::Cancel, false, false, false},
    };
    int n = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Window.reset();
        Dialogs->Clear();
        TfrmTessaria& w = Begin();
        SelectFile(w, "a.jpg", Picture(400, 300));
        Drop(w.CurrentPage, QPoint(40, 40));
        const QRect placed = Box(w, 0)->geometry();
        const QString path = DocPath("close" + std::to_string(++n) + ".tsd");
        Dialogs->Answers = {c.Answer};
        Dialogs->FileNames = {c.SaveDialogCancelled ? QString() : path};
        bool gone;
        if (c.Close) {
            gone = w.close();
            EXPECT_EQ(w.isVisible(), !gone);
        } else {
            w.New1->trigger();
            gone = w.CountBoxes() == 0;
        }
        EXPECT_EQ(Confirms(Dialogs), QStringList{"Save current document?"});
        EXPECT_EQ(gone, c.LayoutGone);
        EXPECT_EQ(QFileInfo::exists(path), c.Saved);
        if (c.Saved) {
            const TDocument saved = ReadDocumentFile(path.toStdString());
            ASSERT_EQ(saved.Pages.size(), 1u);
            ASSERT_EQ(saved.Pages[0].Boxes.size(), 1u);
            const TDocumentBox& box = saved.Pages[0].Boxes[0];
            EXPECT_EQ(QRect(box.Left, box.Top, box.Width, box.Height), placed);
        }
        if (!gone) {
            EXPECT_EQ(w.CountBoxes(), 1);
            EXPECT_FALSE(w.DocumentSaved);
        }
    }

    // Nothing changed since the save: no question.
    Window.reset();
    Dialogs->Clear();
    TfrmTessaria& w = Begin();
    SelectFile(w, "a.jpg", Picture(400, 300));
    Drop(w.CurrentPage, QPoint(40, 40));
    Dialogs->FileNames = {DocPath("kept.tsd")};
    w.Save1->trigger();
    w.New1->trigger();
    EXPECT_EQ(w.CountBoxes(), 0);
    Drop(w.CurrentPage, QPoint(40, 40));
    w.Undo1->trigger(); // the new layout is as New left it
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(Confirms(Dialogs).isEmpty());
}

TEST_F(Editing, AFailedSaveLeavesTheLayoutUnsavedSoNewAsks)
{
    TfrmTessaria& w = Begin();
    SelectFile(w, "a.jpg", Picture(400, 300));
    Drop(w.CurrentPage, QPoint(40, 40));
    Dialogs->FileNames = {DocPath("no/such/folder/x.tsd")};
    w.Save1->trigger();
    ASSERT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error).size(), 1);
    EXPECT_FALSE(w.DocumentSaved);
    EXPECT_EQ(w.windowTitle(), "Tessaria by Corvanel Software"); // nothing was saved under that name
    Dialogs->Answers = {TMsgAnswer::Cancel};
    w.New1->trigger();
    EXPECT_EQ(Confirms(Dialogs), QStringList{"Save current document?"});
    EXPECT_EQ(w.CountBoxes(), 1);
    // Yes, and the save fails again: New stops, the layout stays.
    Dialogs->Answers = {TMsgAnswer::Yes};
    Dialogs->FileNames = {DocPath("no/such/folder/x.tsd")};
    w.New1->trigger();
    EXPECT_EQ(w.CountBoxes(), 1);
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error).size(), 2);
    // And a closing window stays open.
    Dialogs->Answers = {TMsgAnswer::Yes};
    Dialogs->FileNames = {DocPath("no/such/folder/x.tsd")};
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(Editing, TheSelectionBelongsToTheShownPage)
{
    TfrmTessaria& w = Begin();
    SelectFile(w, "a.jpg", Picture(400, 300));
    Drop(w.CurrentPage, QPoint(40, 40));
    TRectBox* picture = Box(w, 0);
    TCanvasPanel* first = w.CurrentPage;
    Click(picture);
    ASSERT_EQ(w.SelectedBox(), picture);
    EXPECT_TRUE(w.tbRotateRight->isEnabled());

    w.tbNewPage->trigger();
    EXPECT_FALSE(picture->Focus());
    EXPECT_EQ(w.SelectedBox(), nullptr);
    // A box selected on another page is never the one commands act on.
    picture->SetFocus(true);
    EXPECT_EQ(w.SelectedBox(), nullptr);
    for (QAction* a : {w.Cut1, w.Copy1, w.tbRotateLeft, w.tbRotateRight, w.tbAlignLeft})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    w.ScrollBox1->setFocus();
    Key(Qt::Key_Delete);
    w.tbRotateLeftClick(w.tbRotateRight);
    w.Cut1Click(w.Cut1);
    EXPECT_TRUE(w.Boxes().contains(picture));
    EXPECT_EQ(picture->Rotation(), 0);
    w.tbAddText->trigger(); // a free text on the shown page, not a caption
    EXPECT_EQ(picture->LinkChild(), nullptr);
    EXPECT_EQ(LastBox(w)->parentWidget(), w.CurrentPage);

    // Switching back clears the selection too.
    Click(Box(w, 0));
    w.CanvasPageNumber->ClickButton(TUDBtnType::btPrev);
    ASSERT_EQ(w.CurrentPage, first);
    EXPECT_EQ(w.SelectedBox(), nullptr);
}

TEST_F(Editing, ABoxStaysReachableAndItsCaptionFollowsAtOnce)
{
    TfrmTessaria& w = Begin();
    Options()->SetAutoCaption(TAutoCaption::Filename);
    SelectFile(w, "a.jpg", Picture(400, 300));
    Drop(w.CurrentPage, QPoint(40, 40));
    TRectBox* picture = Box(w, 0);
    TRectBox* caption = picture->LinkChild();
    ASSERT_NE(caption, nullptr);
    const QSize page = w.CurrentPage->size();
    auto under = [&] { return QPoint(picture->x(), picture->y() + picture->height()); };

    // Far past the bottom-right corner: 10 pixels of it stay on the page.
    DragBox(picture, QPoint(60, 60), QPoint(60 + 3000, 60 + 3000), 3);
    EXPECT_EQ(picture->pos(), QPoint(page.width() - 10, page.height() - 10));
    EXPECT_EQ(caption->pos(), under()); // before any paint
    // Far past the top-left corner likewise, and it can still be grabbed.
    DragBox(picture, QPoint(5 + 2, 5 + 2), QPoint(-4000, -4000), 3);
    EXPECT_EQ(picture->geometry().bottomRight(), QPoint(9, 9));
    DragBox(picture, QPoint(picture->width() - 7, picture->height() - 7), QPoint(picture->width() + 93, picture->height() + 93), 2);
    EXPECT_EQ(picture->pos(), QPoint(100 - picture->width() + 10, 100 - picture->height() + 10));
    EXPECT_EQ(caption->pos(), under());

    // Turns and auto-align carry the caption along at once as well.
    Click(picture);
    w.tbRotateRight->trigger();
    EXPECT_EQ(caption->pos(), under());
    w.tbAlign->trigger();
    EXPECT_EQ(caption->pos(), under());

    // A save sees the caption where the screen shows it.
    DragBox(picture, QPoint(picture->width() - 7, picture->height() - 7),
            QPoint(picture->width() - 7 + 31, picture->height() - 7 + 17), 2);
    Dialogs->FileNames = {DocPath("glued.tsd")};
    w.Save1->trigger();
    const TDocument saved = ReadDocumentFile(DocPath("glued.tsd").toStdString());
    ASSERT_EQ(saved.Pages[0].Boxes.size(), 2u);
    const TDocumentBox& p = saved.Pages[0].Boxes[0];
    const TDocumentBox& c = saved.Pages[0].Boxes[1];
    EXPECT_EQ(QPoint(c.Left, c.Top), QPoint(p.Left, p.Top + p.Height));
    EXPECT_EQ(QPoint(p.Left, p.Top), picture->pos());
}

TEST_F(Editing, ADroppedFileThatCannotBeReadPlacesNothingAndSaysWhy)
{
    TfrmTessaria& w = Begin();
    const std::string broken = Folder.File("broken.jpg");
    WriteFile(broken, std::string("this is no JPEG at all"));
    QString readerMessage;
    try {
        LoadBitmapFromFile(broken);
    } catch (const std::exception& e) {
        readerMessage = ExceptionMessage(e);
    }
    ASSERT_FALSE(readerMessage.isEmpty());
    auto dropOn = [](QWidget* target, QMimeData& data) {
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    };

    // From the desktop.
    QMimeData desktop;
    desktop.setUrls({QUrl::fromLocalFile(QString::fromStdString(broken))});
    dropOn(w.CurrentPage, desktop);
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error), QStringList{readerMessage});
    EXPECT_EQ(w.CountBoxes(), 0);

    // From the list, while the preview still shows the file before it.
    SelectFile(w, "good.jpg", Picture(40, 30));
    Drop(w.CurrentPage, QPoint(10, 10));
    ASSERT_EQ(w.CountBoxes(), 1);
    TRectBox* good = Box(w, 0);
    w.LV1->Model()->Add({"broken.jpg", "1", "", ""});
    {
        const QSignalBlocker quiet(w.LV1);
        w.LV1->SelectRow(w.LV1->Model()->Count() - 1);
    }
    Dialogs->Clear();
    const QString before = Describe(w);
    const int steps = Steps(w);
    Drop(w.CurrentPage, QPoint(200, 200));
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error), QStringList{readerMessage});
    // Onto a picture: no question, and the box keeps its own picture.
    Dialogs->Answers = {TMsgAnswer::Yes};
    Drop(good, QPoint(10, 10));
    EXPECT_TRUE(Confirms(Dialogs).isEmpty());
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error).size(), 2);
    EXPECT_EQ(Describe(w), before);
    EXPECT_EQ(Steps(w), steps);
}

TEST_F(Editing, ADropOntoATextBoxAsksNothingAndChangesNothing)
{
    TfrmTessaria& w = Begin();
    Options()->SetAutoCaption(TAutoCaption::Filename);
    SelectFile(w, "a.jpg", Picture(400, 300));
    Drop(w.CurrentPage, QPoint(40, 40));
    Click(Box(w, 0));
    w.Copy1->trigger();
    w.Paste1->trigger(); // a pasted caption takes drops like its picture
    QTest::mouseClick(w.CurrentPage, Qt::LeftButton, Qt::NoModifier, QPoint(320, 390));
    w.tbAddText->trigger();
    const QList<TRectBox*> boxes = w.PageBoxes(w.CurrentPage);
    ASSERT_EQ(boxes.size(), 5);
    SelectFile(w, "b.jpg", Picture(100, 200));
    Dialogs->Clear();
    Dialogs->DefaultAnswer = TMsgAnswer::Yes;
    const QString before = Describe(w);
    const int steps = Steps(w);
    for (TRectBox* text : {boxes[1], boxes[3], boxes[4]}) {
        ASSERT_TRUE(text->TextBox());
        QMimeData data;
        data.setData("application/x-tessaria-source", "list");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(text, &enter);
        EXPECT_FALSE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(text, &drop);
    }
    EXPECT_TRUE(Dialogs->Shown.empty());
    EXPECT_EQ(Describe(w), before);
    EXPECT_EQ(Steps(w), steps);
}

TEST_F(Editing, ExtremePicturesGiveUsableBoxesOnThePage)
{
    TfrmTessaria& w = Begin();
    const QRect page(QPoint(0, 0), w.CurrentPage->size());
    struct TCase {
        int Width, Height;
        QPoint At;
    };
    for (const TCase& c : {TCase{1, 2000, QPoint(100, 100)}, TCase{3000, 1, QPoint(100, 100)},
                           TCase{2000, 1, QPoint(250, 390)}}) {
        SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height));
        SelectFile(w, QStringLiteral("p%1x%2.jpg").arg(c.Width).arg(c.Height), Picture(c.Width, c.Height));
        Drop(w.CurrentPage, c.At);
        TRectBox* box = LastBox(w);
        ASSERT_NE(box, nullptr);
        EXPECT_GE(box->width(), 3 * box->BoxSize());
        EXPECT_GE(box->height(), 3 * box->BoxSize());
        EXPECT_TRUE(page.contains(box->geometry())) << box->x() << "," << box->y() << " " << box->width() << "x"
                                                    << box->height();
    }
}

TEST_F(Editing, TheTextDialogKeepsASizeThatIsNotInItsList)
{
    TfrmTessaria& w = Begin();
    w.tbAddText->trigger();
    TRectBox* text = LastBox(w);
    QFont nine = text->Font();
    nine.setPointSize(9);
    text->SetFont(nine);
    text->SetLines({"Nine points", "two lines"});
    QString shownSize;
    Dialogs->OnModal = [&](QDialog& d) {
        shownSize = static_cast<TfrmTextBoxProperties&>(d).cbtxtSize->currentText();
        return int(QDialog::Accepted); // OK without touching anything
    };
    emit text->OnDblClick(text);
    EXPECT_EQ(shownSize, "9");
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty());
    EXPECT_EQ(text->Font().pointSize(), 9);
    EXPECT_EQ(text->Lines(), (QStringList{"Nine points", "two lines"}));
}

TEST_F(Editing, ArrowKeysMoveTheSelectedBoxAndShortcutsReachTheirItems)
{
    TfrmTessaria& w = Begin();
    SelectFile(w, "a.jpg", Picture(400, 300));
    Drop(w.CurrentPage, QPoint(37, 52));
    TRectBox* box = Box(w, 0);
    Click(box);
    ASSERT_EQ(QApplication::focusWidget(), w.ScrollBox1);
    const int steps = Steps(w);
    struct TCase {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        QPoint Expected;
    };
    const TCase keys[] = {
        {Qt::Key_Right, Qt::NoModifier, QPoint(38, 52)}, {Qt::Key_Right, Qt::ShiftModifier, QPoint(40, 52)},
        {Qt::Key_Right, Qt::ShiftModifier, QPoint(50, 52)}, {Qt::Key_Left, Qt::ShiftModifier, QPoint(40, 52)},
        {Qt::Key_Left, Qt::NoModifier, QPoint(39, 52)},    {Qt::Key_Left, Qt::ShiftModifier, QPoint(30, 52)},
        {Qt::Key_Down, Qt::ShiftModifier, QPoint(30, 60)}, {Qt::Key_Up, Qt::NoModifier, QPoint(30, 59)},
        {Qt::Key_Up, Qt::ShiftModifier, QPoint(30, 50)},
    };
    for (const TCase& k : keys) {
        Key(k.Key, k.Modifiers);
        EXPECT_EQ(box->pos(), k.Expected) << QKeySequence(k.Key | k.Modifiers).toString().toStdString();
    }
    EXPECT_EQ(Steps(w), steps + 1); // one step for the run of keys
    w.Undo1->trigger();
    EXPECT_EQ(box->pos(), QPoint(37, 52));
    // With the file list focused, its arrow keys are its own.
    Click(box);
    w.LV1->Details()->setFocus();
    QApplication::processEvents();
    Key(Qt::Key_Right);
    EXPECT_EQ(box->pos(), QPoint(37, 52));

    // Shortcuts, on the items of the menus.
    struct TShortcut {
        QKeyCombination Keys;
        QAction* Item;
    };
    Click(box);
    const TShortcut shortcuts[] = {
        {Qt::CTRL | Qt::Key_C, w.Copy1},          {Qt::CTRL | Qt::Key_V, w.Paste1},
        {Qt::CTRL | Qt::Key_Z, w.Undo1},          {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, w.Redo1},
        {Qt::CTRL | Qt::Key_Z, w.Undo1},          {Qt::CTRL | Qt::Key_Y, w.Redo1},
        {Qt::CTRL | Qt::Key_X, w.Cut1},           {Qt::CTRL | Qt::Key_S, w.Save1},
        {Qt::CTRL | Qt::Key_O, w.Open1},          {Qt::CTRL | Qt::Key_P, w.Print1},
        {Qt::CTRL | Qt::Key_N, w.New1},
    };
    for (const TShortcut& s : shortcuts) {
        SCOPED_TRACE(QKeySequence(s.Keys).toString().toStdString());
        if (s.Item == w.Cut1)
            Click(LastBox(w));
        QSignalSpy fired(s.Item, &QAction::triggered);
        QTest::keyClick(&w, s.Keys.key(), s.Keys.keyboardModifiers());
        EXPECT_EQ(fired.count(), 1);
    }
}

TEST_F(Editing, CommandsAreEnabledOnlyWhenTheyCanAct)
{
    TfrmTessaria& w = Begin();
    Options()->SetAutoCaption(TAutoCaption::Filename);
    SelectFile(w, "a.jpg", Picture(400, 300));
    Drop(w.CurrentPage, QPoint(40, 40));
    TRectBox* picture = Box(w, 0);
    TRectBox* caption = Box(w, 1);
    const QList<QAction*> items = {w.Cut1, w.Copy1, w.Paste1, w.tbRotateLeft, w.tbRotateRight,
                                   w.tbAlignLeft, w.tbAlignCenter, w.tbAlignRight};
    auto enabled = [&] {
        QString flags;
        for (QAction* a : items)
            flags += a->isEnabled() ? '1' : '0';
        return flags;
    };
    struct TCase {
        const char* Name;
        std::function<void()> Do;
        const char* Flags; // cut, copy, paste, turns (2), alignments (3)
    };
    const TCase cases[] = {
        {"the caption selected by the drop", [] {}, "11000111"},
        {"nothing selected, nothing copied",
         [&] { QTest::mouseClick(w.CurrentPage, Qt::LeftButton, Qt::NoModifier, QPoint(300, 390)); }, "00000000"},
        {"a picture selected", [&] { Click(picture); }, "11011000"},
        {"copied", [&] { w.Copy1->trigger(); }, "11111000"},
        {"its caption selected", [&] { Click(caption); }, "11100111"},
        {"another page shown", [&] { w.tbNewPage->trigger(); }, "00100000"},
        {"undo of the page", [&] { w.Undo1->trigger(); }, "00100000"},
    };
    for (const TCase& c : cases) {
        c.Do();
        EXPECT_EQ(enabled(), c.Flags) << c.Name;
    }
}
