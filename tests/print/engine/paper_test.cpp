// Sheets of paper: named on the command line, usual for a locale, and as
// device values.
#include <gtest/gtest.h>

#include <QSizeF>

#include "print/paper.h"
#include "support/qtprinters.h"

using namespace tessaria;

namespace {

TEST(Paper, TheLocaleDecidesBetweenA4AndLetter)
{
    const struct {
        const char* locale;
        QPageSize::PageSizeId expected;
    } cases[] = {
        {"en_US", QPageSize::Letter}, {"es_US", QPageSize::Letter}, {"en_CA", QPageSize::Letter},
        {"fr_CA", QPageSize::Letter}, {"es_MX", QPageSize::Letter}, {"en_PH", QPageSize::Letter},
        {"es_CL", QPageSize::Letter}, {"de_DE", QPageSize::A4},     {"en_GB", QPageSize::A4},
        {"fr_FR", QPageSize::A4},     {"ja_JP", QPageSize::A4},     {"en_AU", QPageSize::A4},
        {"C", QPageSize::A4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PaperForLocale(QLocale(QString::fromLatin1(c.locale))).id(), c.expected) << c.locale;
}

TEST(Paper, NamesAUserTypes)
{
    const struct {
        const char* name;
        double widthMm, heightMm; // 0: not a paper
    } cases[] = {
        {"A4", 210, 297},     {"a4", 210, 297},    {"Letter", 215.9, 279.4}, {"LETTER", 215.9, 279.4},
        {"Legal", 215.9, 355.6}, {"A3", 297, 420}, {"A5", 148, 210},         {"10x15cm", 100, 150},
        {"4x6in", 101.6, 152.4}, {"4X6IN", 101.6, 152.4}, {"B5", 0, 0},      {"", 0, 0},
        {"A4 ", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QPageSize> paper = PaperByName(QString::fromLatin1(c.name));
        ASSERT_EQ(paper.has_value(), c.widthMm > 0);
        if (!paper)
            continue;
        EXPECT_NEAR(paper->size(QPageSize::Millimeter).width(), c.widthMm, 0.2);
        EXPECT_NEAR(paper->size(QPageSize::Millimeter).height(), c.heightMm, 0.2);
    }
    EXPECT_EQ(PaperNames(), QStringList({"A4", "Letter", "Legal", "A3", "A5", "10x15cm", "4x6in"}));
}

TEST(Paper, DeviceValuesOfASheet)
{
    const struct {
        const char* name;
        int dpi;
        TPrinterOrientation orientation;
        int width, height;
    } cases[] = {
        {"Letter", 600, TPrinterOrientation::poPortrait, 5100, 6600},
        {"Letter", 600, TPrinterOrientation::poLandscape, 6600, 5100},
        {"A4", 300, TPrinterOrientation::poPortrait, 2480, 3508},
        {"10x15cm", 254, TPrinterOrientation::poPortrait, 1000, 1500},
        {"4x6in", 200, TPrinterOrientation::poLandscape, 1200, 800},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TDeviceValues v = SheetDeviceValues(*PaperByName(QString::fromLatin1(c.name)), c.dpi, c.orientation);
        EXPECT_EQ(v, (TDeviceValues{c.dpi, c.dpi, c.width, c.height, 0, 0}));
    }
}

} // namespace
