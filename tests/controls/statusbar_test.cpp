#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>

#include "controls/statusbar.h"
#include "controls/updown.h"

using namespace tessaria;

TEST(StatusBar, PanelsKeepTheirWidthsAndTheGaugeItsPercent)
{
    TStatusBar bar;
    bar.AddPanel(160);
    bar.AddPanel(200);
    bar.AddPanel(50, TPanelKind::Gauge);
    bar.resize(700, 19);
    EXPECT_EQ(bar.PanelRect(0), QRect(0, 0, 160, 19));
    EXPECT_EQ(bar.PanelRect(1), QRect(160, 0, 200, 19));
    EXPECT_EQ(bar.PanelRect(2), QRect(360, 0, 50, 19));
    for (const auto& [in, out] : {std::pair{-5, 0}, {0, 0}, {33, 33}, {67, 67}, {100, 100}, {250, 100}}) {
        bar.SetGaugePosition(in);
        EXPECT_EQ(bar.GaugePosition(), out) << in;
    }
    bar.SetPanelText(0, "12 files");
    EXPECT_EQ(bar.PanelText(0).toStdString(), "12 files");
}

TEST(UpDown, ClicksMoveWithinTheLimitsAndWriteTheEdit)
{
    QLineEdit edit("0");
    TUpDown updown;
    updown.SetMin(1);
    updown.SetMax(3);
    updown.SetAssociate(&edit);
    QSignalSpy clicks(&updown, &TUpDown::Click);
    EXPECT_EQ(updown.Position(), 1);
    updown.UpButton()->click();
    updown.UpButton()->click();
    updown.UpButton()->click();
    EXPECT_EQ(updown.Position(), 3);
    EXPECT_EQ(edit.text().toStdString(), "3");
    updown.DownButton()->click();
    EXPECT_EQ(updown.Position(), 2);
    EXPECT_EQ(clicks.count(), 4);
    updown.SetMax(1);
    EXPECT_EQ(updown.Position(), 1);
}
