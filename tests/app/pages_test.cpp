#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/appfixture.h"
#include "controls/updown.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "layout/ulorvaneoptions.h"
#include <QButtonGroup>
#include <QRadioButton>

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
    // The page lies on its sheet of paper where the margins put it; the sheet
    // stands 4 pixels up and left of its shadow, at the same size.
    EXPECT_EQ(w.PnlSheet->geometry(), w.PnlDropShadow->geometry().translated(-4, -4));
    EXPECT_EQ(w.PnlDropShadow->pos(), QPoint(8, 8));
    EXPECT_TRUE(w.PnlSheet->geometry().contains(w.CurrentPage->geometry()));
    EXPECT_TRUE(w.CurrentPage->MarginLine());
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
    EXPECT_FALSE(w.Boxes().contains(onThird));
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
    // Undo keeps what it may bring back; a new layout frees it.
    w.New1->trigger();
    EXPECT_TRUE(gone.isNull());
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
    EXPECT_EQ(w.SelectedBox(), nullptr); // a box of a page not shown is never the selection
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

TEST_F(Pages, PagesTakeThePrintableAreasProportions)
{
    // Margins 0.5 inch each side, header 0.5 and footer 0.4 inch: the sheets
    // below leave 7.5 x 10, 10 x 7.5 and 8 x 8 inches to print on.
    // The shadow is the sheet's: the whole sheet in page pixels.
    struct Case { TDeviceValues device; QSize page; int ppi; int orientation; QSize sheet; };
    const Case cases[] = {
        {{300, 300, 2550, 3570, 0, 0}, {300, 400}, 40, 0, {340, 476}},
        {{300, 300, 3300, 2820, 0, 0}, {400, 300}, 40, 1, {440, 376}},
        {{300, 300, 2700, 2970, 0, 0}, {400, 400}, 50, 0, {450, 495}},
        {{600, 600, 5100, 6600, 75, 75}, {330, 400}, 44, 0, {374, 484}}, // Letter at 600 dpi
    };
    for (const Case& c : cases) {
        UsePrinter(c.device);
        TfrmTessaria& w = ShowWindow();
        EXPECT_EQ(w.CurrentPage->size(), c.page) << c.device.PhysicalWidth;
        EXPECT_EQ(w.PnlDropShadow->size(), c.sheet);
        EXPECT_EQ(w.LayoutPPI, c.ppi) << c.device.PhysicalWidth;
        EXPECT_EQ(w.LayoutOrientation, c.orientation);
        Window.reset();
        DestroyStartupForms();
    }
}

TEST_F(Pages, ANewPageAfterAnOrientationChangeTakesTheNewSize)
{
    UsePrinter({300, 300, 2550, 3570, 0, 0});
    TfrmTessaria& w = ShowWindow();
    TCanvasPanel* first = w.CurrentPage;
    ASSERT_EQ(first->size(), QSize(300, 400));
    w.tbNewPage->trigger();
    TCanvasPanel* second = w.CurrentPage;
    // Landscape in the options acts at once, on the current page only.
    w.Options()->rgOrientationButtons->button(1)->click();
    EXPECT_EQ(second->size(), QSize(400, 242)); // 11.9 x 8.5 inches less the margins: 10.9 x 6.6
    EXPECT_EQ(first->size(), QSize(300, 400));
    EXPECT_EQ(w.LayoutOrientation, 1);
    w.tbNewPage->trigger();
    EXPECT_EQ(w.CurrentPage->size(), QSize(400, 242));
    EXPECT_EQ(first->size(), QSize(300, 400));
    EXPECT_TRUE(w.Options()->HPC->text().startsWith("Horizontal Pixel Count: "));
    EXPECT_EQ(w.Options()->txtSelectedPrinter->text(), "Test Printer");
}
