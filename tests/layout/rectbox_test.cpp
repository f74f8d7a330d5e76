#include <gtest/gtest.h>

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "support/qtprinters.h"

using namespace tessaria;

namespace {

// Two pages of one owner, shown, with boxes on them.
struct Layout {
    QObject owner;
    QWidget window;
    TCanvasPanel* page1;
    TCanvasPanel* page2;
    Layout()
    {
        window.resize(900, 500);
        page1 = new TCanvasPanel(&window);
        page1->setGeometry(4, 4, 400, 400);
        page2 = new TCanvasPanel(&window);
        page2->setGeometry(450, 4, 400, 400);
        window.show();
    }
    TRectBox* Box(TCanvasPanel* page, QRect bounds)
    {
        auto* box = new TRectBox(&owner, page);
        box->setGeometry(bounds);
        box->show();
        return box;
    }
};

// The box as it shows on its page (a box paints over its page's surface).
QImage Grab(QWidget* w) { return w->parentWidget()->grab(w->geometry()).toImage(); }

// Mouse events as the user makes them: hover, press, moves, release.
void Drag(TRectBox* box, QPoint from, QPoint to, int steps = 4)
{
    QTest::mouseMove(box, from);
    QTest::mousePress(box, Qt::LeftButton, Qt::NoModifier, from);
    QPoint global = box->mapToGlobal(from);
    const QPoint globalTo = box->mapToGlobal(to);
    for (int i = 1; i <= steps; ++i) {
        const QPoint g = global + (globalTo - global) * i / steps;
        QMouseEvent move(QEvent::MouseMove, box->mapFromGlobal(g), g, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &move);
    }
    QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, box->mapFromGlobal(globalTo));
}

} // namespace

TEST(RectBox, ANewBoxHasItsDefaults)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 100, 80));
    EXPECT_TRUE(b->AutoForeGround());
    EXPECT_FALSE(b->AutoSize());
    EXPECT_EQ(b->FrameType(), TFrameType::ftOuter);
    EXPECT_EQ(b->BoxSize(), 5);
    EXPECT_EQ(b->ActiveFrameColor(), QColor(255, 0, 0));
    EXPECT_EQ(b->PassiveFrameColor(), QColor(128, 128, 128));
    EXPECT_TRUE(b->DrawFrame());
    EXPECT_TRUE(b->DrawBoxes());
    EXPECT_FALSE(b->Focus());
    EXPECT_EQ(b->Alignment(), TAlignment::taCenter);
    EXPECT_EQ(b->Ratio(), 0.0L);
    EXPECT_FALSE(b->testAttribute(Qt::WA_NativeWindow));
    EXPECT_FALSE(b->internalWinId());
}

TEST(RectBox, FrameAndHandlesOnlyWhileFocused)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 100, 80));
    QImage img = Grab(b);
    EXPECT_EQ(img.pixelColor(50, 0), QColor(128, 128, 128)); // grey passive frame
    EXPECT_NE(img.pixelColor(1, 1), QColor(Qt::black));       // no handles
    b->SetHidePassiveFrame(true);
    img = Grab(b);
    EXPECT_NE(img.pixelColor(50, 0), QColor(128, 128, 128));
    b->SetFocus(true);
    img = Grab(b);
    EXPECT_EQ(img.pixelColor(30, 0), QColor(255, 0, 0));  // red frame
    EXPECT_EQ(img.pixelColor(2, 2), QColor(Qt::black));    // top-left handle
    EXPECT_EQ(img.pixelColor(97, 77), QColor(Qt::black));  // bottom-right handle
    EXPECT_EQ(img.pixelColor(50, 2), QColor(Qt::black));   // top middle handle
    EXPECT_NE(img.pixelColor(50, 40), QColor(Qt::black));
}

TEST(RectBox, OnPaintGetsTheFrameRectangle)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 100, 80));
    QList<QRect> rects;
    QObject::connect(b, &TRectBox::OnPaint, [&](TRectBox*, QPainter*, QRect& r) { rects << r; });
    Grab(b);
    b->SetFrameType(TFrameType::ftInner);
    Grab(b);
    b->SetFrameType(TFrameType::ftMiddle);
    Grab(b);
    ASSERT_GE(rects.size(), 3);
    EXPECT_EQ(rects[0], QRect(QPoint(0, 0), QPoint(99, 79)));
    EXPECT_EQ(rects[1], QRect(QPoint(5, 5), QPoint(94, 74)));
    EXPECT_EQ(rects.last(), QRect(QPoint(2, 2), QPoint(97, 77)));
}

TEST(RectBox, PressAtTheOuterPixelOrInTheMiddleStripSelectsWithoutMoving)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 100, 80));
    for (QPoint press : {QPoint(0, 40), QPoint(40, 0), QPoint(50, 40)}) {
        b->SetFocus(false);
        Drag(b, press, press + QPoint(30, 20));
        EXPECT_TRUE(b->Focus());
        EXPECT_EQ(b->geometry(), QRect(10, 10, 100, 80)) << press.x() << "," << press.y();
    }
}

TEST(RectBox, MovingFollowsThePointerAndRaisesOnResizeEveryMove)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 100, 80));
    QSignalSpy resized(b, &TRectBox::OnResize);
    Drag(b, QPoint(30, 30), QPoint(50, 70), 5);
    EXPECT_EQ(b->geometry(), QRect(30, 50, 100, 80));
    // Dragged far past the page's corner, the box keeps 10 pixels on its
    // 400 x 400 page so that it can be grabbed again; it stays its child.
    Drag(b, QPoint(30, 30), QPoint(-270, 530), 5);
    EXPECT_EQ(b->geometry(), QRect(-90, 390, 100, 80));
    EXPECT_EQ(b->parentWidget(), l.page1);
    EXPECT_EQ(resized.count(), 10);
    // Dragged back, it follows the pointer again.
    Drag(b, QPoint(95, 5), QPoint(145, -45), 2);
    EXPECT_EQ(b->geometry(), QRect(-40, 340, 100, 80));
}

TEST(RectBox, ProportionalRightEdgeAndTheMinimumSize)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 100, 80));
    b->SetProportionate(true);
    b->SetRatio(0.8L);
    Drag(b, QPoint(98, 39), QPoint(150, 39), 1);
    EXPECT_EQ(b->geometry(), QRect(10, 10, 150, 120));

    TRectBox* c = l.Box(l.page1, QRect(10, 200, 100, 80));
    Drag(c, QPoint(98, 39), QPoint(14, 39), 1); // width 14: refused
    EXPECT_EQ(c->geometry(), QRect(10, 200, 100, 80));
    Drag(c, QPoint(98, 39), QPoint(15, 39), 1); // 15 is accepted
    EXPECT_EQ(c->geometry(), QRect(10, 200, 15, 80));
}

TEST(RectBox, ARatioOfZeroWithProportionDoesNotFail)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 100, 80));
    b->SetProportionate(true);
    Drag(b, QPoint(50, 78), QPoint(50, 120), 1);
    EXPECT_EQ(b->geometry(), QRect(10, 10, 100, 120));
}

TEST(RectBox, BoxSizeIsOddAndBounded)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 100, 80));
    b->SetBoxSize(6);
    EXPECT_EQ(b->BoxSize(), 7);
    b->SetBoxSize(51);
    EXPECT_EQ(b->BoxSize(), 7);
    b->SetBoxSize(1);
    EXPECT_EQ(b->BoxSize(), 7);
    b->SetBoxSize(50);
    EXPECT_EQ(b->BoxSize(), 51);
}

TEST(RectBox, PressingOneBoxUnfocusesEveryOtherBoxAlsoOnOtherPages)
{
    Layout l;
    TRectBox* a = l.Box(l.page1, QRect(10, 10, 100, 80));
    TRectBox* b = l.Box(l.page1, QRect(50, 50, 100, 80));
    TRectBox* c = l.Box(l.page2, QRect(10, 10, 100, 80));
    QObject otherOwner;
    auto* foreign = new TRectBox(&otherOwner, l.page2);
    foreign->SetFocus(true);
    a->SetFocus(true);
    c->SetFocus(true);
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    EXPECT_FALSE(a->Focus());
    EXPECT_TRUE(b->Focus());
    EXPECT_FALSE(c->Focus());
    EXPECT_TRUE(foreign->Focus()); // another owner's boxes are not ours
    // A press brings the box to the front.
    EXPECT_EQ(l.page1->children().last(), b);
    QTest::mouseClick(a, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(l.page1->children().last(), a);
    EXPECT_EQ(TRectBox::BoxesOf(&l.owner), (QList<TRectBox*>{a, b, c}));
}

TEST(RectBox, ClicksAndDoubleClicksReachTheirHandlers)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 100, 80));
    QSignalSpy clicks(b, &TRectBox::OnClick);
    QSignalSpy doubles(b, &TRectBox::OnDblClick);
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QTest::mouseDClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    EXPECT_GE(clicks.count(), 1);
    EXPECT_EQ(doubles.count(), 1);
}

TEST(RectBox, ReadOutsWhileFocused)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 120, 60));
    b->SetShowPos(true);
    b->SetShowSize(true);
    b->SetDrawBoxes(false);
    b->SetDrawFrame(false);
    auto inked = [](const QImage& img, QRect area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (img.pixelColor(x, y).lightness() < 100)
                    return true;
        return false;
    };
    EXPECT_FALSE(inked(Grab(b), QRect(7, 5, 100, 24)));
    b->SetFocus(true);
    const QImage img = Grab(b);
    EXPECT_TRUE(inked(img, QRect(7, 5, 100, 11)));   // "L:10 T:10"
    EXPECT_TRUE(inked(img, QRect(7, 18, 100, 11)));  // "W:120 H:60"
}

TEST(RectBox, TextIsDrawnAtPageScaleAndAligned)
{
    Layout l;
    TRectBox* b = l.Box(l.page1, QRect(10, 10, 200, 100));
    b->SetTextBox(true);
    QFont f("Arial");
    f.setPointSize(18);
    b->SetFont(f);
    b->SetCanvasPPI(40);
    EXPECT_EQ(b->PageFont().pixelSize(), 10); // 18 x 40 / 72
    b->SetDrawFrame(false);
    b->SetLines({"Left"});
    auto inkColumns = [&]() {
        const QImage img = Grab(b);
        int first = -1, last = -1;
        for (int x = 0; x < img.width(); ++x)
            for (int y = 0; y < img.height(); ++y)
                if (img.pixelColor(x, y).lightness() < 100) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return std::pair{first, last};
    };
    b->SetAlignment(TAlignment::taLeftJustify);
    const auto left = inkColumns();
    b->SetAlignment(TAlignment::taRightJustify);
    const auto right = inkColumns();
    b->SetAlignment(TAlignment::taCenter);
    const auto centre = inkColumns();
    ASSERT_GE(left.first, 0);
    EXPECT_LT(left.first, 10);
    EXPECT_GT(right.second, 188);
    EXPECT_NEAR((centre.first + centre.second) / 2, 100, 3);
    // Long lines wrap inside the text area.
    b->SetLines({"several words that cannot fit on one line of this box at all"});
    EXPECT_LT(inkColumns().second, 200);
}
