#include <gtest/gtest.h>

#include <QPointer>
#include <QUndoStack>

#include "layout/canvaspanel.h"
#include "layout/layouthistory.h"
#include "layout/rectbox.h"

using namespace tessaria;

namespace {

// Pages and boxes of one owner, as the main window keeps them.
struct THost final : TLayoutHost {
    QObject Owner;
    QWidget Window;
    QList<TCanvasPanel*> Pages;
    TCanvasPanel* Current = nullptr;
    int Restored = 0;

    THost()
    {
        for (int i = 0; i < 3; ++i) {
            auto* page = new TCanvasPanel(&Window);
            page->setGeometry(0, 0, 300, 400);
            Pages << page;
        }
        Current = Pages[0];
    }
    TRectBox* Box(TCanvasPanel* page, QRect bounds)
    {
        auto* box = new TRectBox(&Owner, page);
        box->SetBounds(bounds);
        box->show();
        return box;
    }
    QList<TRectBox*> Boxes() { return TRectBox::BoxesOf(&Owner); }

    QObject* LayoutOwner() override { return &Owner; }
    QList<TCanvasPanel*> LayoutPages() const override { return Pages; }
    TCanvasPanel* LayoutCurrentPage() const override { return Current; }
    void RestorePages(const QList<TCanvasPanel*>& pages, TCanvasPanel* current) override
    {
        Pages = pages;
        Current = current;
    }
    void LayoutRestored() override { ++Restored; }
};

struct History : ::testing::Test {
    THost Host;
    TLayoutHistory H{Host};
    int Steps() const { return H.Stack()->count(); }
    void Undo() { H.Stack()->undo(); }
    void Redo() { H.Stack()->redo(); }
};

} // namespace

TEST_F(History, AStepHoldsWhatChangedAndNothingElse)
{
    TRectBox* a = Host.Box(Host.Pages[0], QRect(10, 10, 50, 40));
    TRectBox* b = Host.Box(Host.Pages[0], QRect(100, 10, 50, 40));
    {
        TLayoutEdit step(H, "Nothing");
    }
    EXPECT_EQ(Steps(), 0);
    {
        TLayoutEdit step(H, "Move and edit");
        a->SetBounds(QRect(20, 30, 50, 40));
        a->SetLines({"new"});
        {
            TLayoutEdit inner(H, "Turn"); // nested: part of the same step
            a->SetRotation(90);
        }
        EXPECT_EQ(Steps(), 0);
    }
    ASSERT_EQ(Steps(), 1);
    b->SetBounds(QRect(1, 1, 50, 40)); // a change no step knows of
    Undo();
    EXPECT_EQ(a->Bounds(), QRect(10, 10, 50, 40));
    EXPECT_EQ(a->Lines(), QStringList());
    EXPECT_EQ(a->Rotation(), 0);
    EXPECT_EQ(b->Bounds(), QRect(1, 1, 50, 40));
    Redo();
    EXPECT_EQ(a->Bounds(), QRect(20, 30, 50, 40));
    EXPECT_EQ(a->Lines(), QStringList{"new"});
    EXPECT_EQ(a->Rotation(), 90);
    EXPECT_EQ(Host.Restored, 2);
}

TEST_F(History, TakenOutBoxesComeBackInTheirPlaceAndAreFreedWithTheLastStep)
{
    TRectBox* a = Host.Box(Host.Pages[0], QRect(10, 10, 50, 40));
    TRectBox* b = Host.Box(Host.Pages[0], QRect(100, 10, 50, 40));
    TRectBox* c = Host.Box(Host.Pages[0], QRect(200, 10, 50, 40));
    b->SetLinkChild(c);
    c->SetLinkParent(b);
    b->SetFocus(true);
    QPointer<TRectBox> gone = b;
    {
        TLayoutEdit step(H, "Delete");
        TLayoutHistory::TakeOut(*c);
        TLayoutHistory::TakeOut(*b);
    }
    EXPECT_EQ(Host.Boxes(), QList<TRectBox*>{a});
    EXPECT_FALSE(b->isVisibleTo(Host.Pages[0]));
    EXPECT_FALSE(b->Focus());
    Undo();
    EXPECT_EQ(Host.Boxes(), (QList<TRectBox*>{a, b, c})); // creation order, not the order of return
    EXPECT_TRUE(b->isVisibleTo(Host.Pages[0]));
    EXPECT_EQ(b->LinkChild(), c);
    Redo();
    EXPECT_EQ(Host.Boxes(), QList<TRectBox*>{a});
    H.Clear();
    EXPECT_TRUE(gone.isNull());

    // A box whose adding was undone goes when a new step drops that redo.
    QPointer<TRectBox> added;
    {
        TLayoutEdit step(H, "Add");
        added = Host.Box(Host.Pages[0], QRect(5, 5, 20, 20));
    }
    Undo();
    EXPECT_FALSE(added.isNull());
    EXPECT_TRUE(Host.Boxes().indexOf(added) < 0);
    {
        TLayoutEdit step(H, "Move");
        a->SetBounds(QRect(0, 0, 50, 40));
    }
    EXPECT_TRUE(added.isNull());
}

TEST_F(History, APageListComesBackWithThePageShown)
{
    TCanvasPanel* second = Host.Pages[1];
    TRectBox* onSecond = Host.Box(second, QRect(10, 10, 50, 40));
    Host.Current = second;
    QPointer<TCanvasPanel> page = second;
    {
        TLayoutEdit step(H, "Delete Page");
        TLayoutHistory::TakeOut(*onSecond);
        Host.Pages.removeAll(second);
        Host.Current = Host.Pages[1];
    }
    Undo();
    EXPECT_EQ(Host.Pages.size(), 3);
    EXPECT_EQ(Host.Pages[1], second);
    EXPECT_EQ(Host.Current, second);
    EXPECT_EQ(Host.Boxes(), QList<TRectBox*>{onSecond});
    Redo();
    EXPECT_EQ(Host.Pages.size(), 2);
    EXPECT_FALSE(Host.Pages.contains(second));
    H.Clear(); // the page and its box go with the last step that kept them
    EXPECT_TRUE(page.isNull());
}

TEST_F(History, MergingStepsAndADragWithoutItsRelease)
{
    TRectBox* a = Host.Box(Host.Pages[0], QRect(10, 10, 50, 40));
    TRectBox* b = Host.Box(Host.Pages[0], QRect(100, 10, 50, 40));
    const int keys = 7;
    for (int i = 1; i <= 3; ++i) {
        TLayoutEdit step(H, "Move", keys);
        a->SetBounds(QRect(10 + i, 10, 50, 40));
    }
    EXPECT_EQ(Steps(), 1); // one box, one run of keys
    {
        TLayoutEdit step(H, "Move", keys);
        b->SetBounds(QRect(101, 10, 50, 40));
    }
    EXPECT_EQ(Steps(), 2); // another box: a step of its own
    Undo();
    Undo();
    EXPECT_EQ(a->Bounds(), QRect(10, 10, 50, 40));

    // A drag whose release never came is closed by the next step.
    H.BeginDrag("Move");
    a->SetBounds(QRect(60, 60, 50, 40));
    {
        TLayoutEdit step(H, "Edit");
        b->SetLines({"b"});
    }
    EXPECT_EQ(Steps(), 2);
    Undo();
    EXPECT_EQ(b->Lines(), QStringList());
    EXPECT_EQ(a->Bounds(), QRect(60, 60, 50, 40));
    Undo();
    EXPECT_EQ(a->Bounds(), QRect(10, 10, 50, 40));
}

TEST_F(History, StepsShareTheReducedCopiesInsteadOfCopyingThem)
{
    TRectBox* a = Host.Box(Host.Pages[0], QRect(10, 10, 50, 40));
    TBitmap first;
    first.SetSize(20, 10);
    a->SetPicture(first);
    const auto shown = a->SharedPicture();
    {
        TLayoutEdit step(H, "Replace");
        TBitmap second;
        second.SetSize(10, 20);
        a->SetPicture(second);
    }
    const auto replaced = a->SharedPicture();
    Undo();
    EXPECT_EQ(a->SharedPicture(), shown); // the very same bitmap, not a copy
    Redo();
    EXPECT_EQ(a->SharedPicture(), replaced);
    EXPECT_EQ(a->Picture().Width(), 10);
}
