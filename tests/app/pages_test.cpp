#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/appfixture.h"
#include "controls/updown.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"

using namespace tessaria;
using namespace tessaria::test;

using Pages = AppTest;

namespace {
TRectBox* AddBox(TfrmTessaria& w, TCanvasPanel* page, QRect at)
{
    auto* box = new TRectBox(&w, page);
    box->setGeometry(at);
    box->show();
    return box;
}
} // namespace

TEST_F(Pages, TheFirstPageIsCreatedWhenTheWindowIsShown)
{
    TfrmTessaria& w = ShowWindow();
    ASSERT_EQ(w.Pages.size(), 1);
    EXPECT_EQ(w.CurrentPage, w.Pages[0]);
    EXPECT_EQ(w.txtPage->text(), "1");
    EXPECT_EQ(w.txtPageCount->text(), " of 1");
    EXPECT_EQ(w.CanvasPageNumber->Max(), 1);
    // The page stands 4 pixels up and left of its shadow, at the same size.
    EXPECT_EQ(w.CurrentPage->geometry(), w.PnlDropShadow->geometry().translated(-4, -4));
    EXPECT_EQ(w.PnlDropShadow->pos(), QPoint(8, 8));
    EXPECT_EQ(std::max(w.CurrentPage->width(), w.CurrentPage->height()), 400);
    EXPECT_GT(w.LayoutPPI, 0);
    EXPECT_FALSE(w.CurrentPage->ShowGrid());
}

TEST_F(Pages, TheShowGridSettingTurnsOnTheGridOfNewPages)
{
    struct Case { const char* value; bool grid; };
    for (const Case c : {Case{"1", true}, {"10", true}, {"1x", true}, {"0", false}, {"", false}, {"yes", false}}) {
        WriteSetting(Key(), "ShowGrid", c.value);
        TfrmTessaria& w = ShowWindow();
        EXPECT_EQ(w.CurrentPage->ShowGrid(), c.grid) << c.value;
        if (c.grid) {
            EXPECT_EQ(w.CurrentPage->Graularity(), 10) << c.value;
        }
        Window.reset();
    }
}

TEST_F(Pages, NewPagesLieOverTheOthersAndTheCounterSwitchesBetweenThem)
{
    TfrmTessaria& w = ShowWindow();
    w.tbNewPage->trigger();
    w.tbNewPage->trigger();
    ASSERT_EQ(w.Pages.size(), 3);
    EXPECT_EQ(w.CurrentPage, w.Pages[2]);
    EXPECT_EQ(w.txtPage->text(), "3");
    EXPECT_EQ(w.txtPageCount->text(), " of 3");
    EXPECT_TRUE(w.Pages[0]->isVisible()); // earlier pages are not hidden
    w.CanvasPageNumber->ClickButton(TUDBtnType::btPrev);
    EXPECT_EQ(w.CurrentPage, w.Pages[1]);
    EXPECT_EQ(w.txtPage->text(), "2");
    EXPECT_FALSE(w.Pages[0]->isVisible());
    EXPECT_FALSE(w.Pages[2]->isVisible());
    EXPECT_TRUE(w.Pages[1]->isVisible());
}

TEST_F(Pages, DeletingTheLastOrTheFirstOfThreePages)
{
    TfrmTessaria& w = ShowWindow();
    w.tbNewPage->trigger();
    w.tbNewPage->trigger();
    TCanvasPanel* first = w.Pages[0];
    TCanvasPanel* second = w.Pages[1];
    TRectBox* onThird = AddBox(w, w.Pages[2], QRect(10, 10, 50, 50));
    TRectBox* onFirst = AddBox(w, first, QRect(10, 10, 50, 50));
    QPointer<TRectBox> gone(onThird);

    Dialogs->Answers = {TMsgAnswer::No};
    w.tbDeleteCurrentPage->trigger();
    EXPECT_EQ(w.Pages.size(), 3);
    EXPECT_EQ(Dialogs->LastText(), "Delete the current page? (page 3)");

    Dialogs->Answers = {TMsgAnswer::Yes};
    w.tbDeleteCurrentPage->trigger();
    ASSERT_EQ(w.Pages.size(), 2);
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(w.CurrentPage, second);
    EXPECT_EQ(w.txtPage->text(), "2");
    EXPECT_EQ(w.txtPageCount->text(), " of 2");

    w.CanvasPageNumber->ClickButton(TUDBtnType::btPrev);
    w.tbNewPage->trigger(); // three again: first, second, new
    w.CanvasPageNumber->SetPosition(1);
    w.CanvasPageNumberClick();
    ASSERT_EQ(w.CurrentPage, first);
    Dialogs->Answers = {TMsgAnswer::Yes};
    w.tbDeleteCurrentPage->trigger();
    EXPECT_EQ(w.Pages.size(), 2);
    EXPECT_EQ(w.CurrentPage, second); // the former page 2 is page 1 now
    EXPECT_EQ(w.txtPage->text(), "1");
    EXPECT_EQ(w.txtPageCount->text(), " of 2");
    EXPECT_FALSE(w.Boxes().contains(onFirst));
}

TEST_F(Pages, DeletingTheOnlyPageEmptiesIt)
{
    TfrmTessaria& w = ShowWindow();
    TCanvasPanel* page = w.CurrentPage;
    AddBox(w, page, QRect(10, 10, 50, 50));
    AddBox(w, page, QRect(80, 10, 50, 50));
    Dialogs->Answers = {TMsgAnswer::Yes};
    w.tbDeleteCurrentPage->trigger();
    EXPECT_EQ(w.Pages.size(), 1);
    EXPECT_EQ(w.CurrentPage, page);
    EXPECT_TRUE(w.Boxes().isEmpty());
    EXPECT_EQ(w.txtPageCount->text(), " of 1");
}

TEST_F(Pages, TheGridTogglesOnEveryPage)
{
    TfrmTessaria& w = ShowWindow();
    w.tbNewPage->trigger();
    w.tbNewPage->trigger();
    w.Pages[1]->SetShowGrid(true);
    w.tbShowGrid->trigger(); // current (3) goes on, all follow
    for (TCanvasPanel* p : w.Pages)
        EXPECT_TRUE(p->ShowGrid());
    w.tbShowGrid->trigger();
    for (TCanvasPanel* p : w.Pages)
        EXPECT_FALSE(p->ShowGrid());
}

TEST_F(Pages, AClickOnAnEmptySpotDeselectsEveryBox)
{
    TfrmTessaria& w = ShowWindow();
    w.tbNewPage->trigger();
    TRectBox* other = AddBox(w, w.Pages[0], QRect(10, 10, 50, 50));
    TRectBox* here = AddBox(w, w.Pages[1], QRect(10, 10, 50, 50));
    other->SetFocus(true);
    EXPECT_EQ(w.SelectedBox(), other);
    here->SetFocus(true);
    EXPECT_EQ(w.SelectedBox(), here); // the last focused in creation order
    QTest::mouseClick(w.CurrentPage, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    EXPECT_FALSE(other->Focus());
    EXPECT_FALSE(here->Focus());
    EXPECT_EQ(w.SelectedBox(), nullptr);
}

TEST(CanvasPanel, GridSettersAndLines)
{
    TCanvasPanel panel;
    panel.resize(40, 30);
    EXPECT_EQ(panel.Graularity(), 0);
    panel.SetShowGrid(true);
    EXPECT_EQ(panel.Graularity(), 10);
    panel.SetGraularity(1);
    EXPECT_EQ(panel.Graularity(), 2);
    panel.SetGraularity(10);
    const QImage img = panel.grab().toImage();
    const QRgb shadow = panel.palette().color(QPalette::Dark).rgb();
    EXPECT_EQ(img.pixel(10, 15), shadow);
    EXPECT_EQ(img.pixel(15, 20), shadow);
    EXPECT_EQ(img.pixel(15, 15), qRgb(255, 255, 255));
    panel.SetShowGrid(false);
    EXPECT_EQ(panel.grab().toImage().pixel(10, 15), qRgb(255, 255, 255));
}
