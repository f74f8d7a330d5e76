#include <gtest/gtest.h>

#include "base/checked.h"
#include "base/datetime.h"
#include "base/exceptions.h"
#include "base/fitsize.h"
#include "base/format.h"
#include "base/paths.h"
#include "base/rounding.h"

using namespace tessaria;

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    struct Case { double in; int64_t out; };
    for (const Case c : {Case{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}})
        EXPECT_EQ(Round(c.in), c.out) << c.in;
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_EQ(Trunc(2.7), 2);
}

TEST(FitSize, KeepsProportionAndScalesBothWays)
{
    struct Case { int W, H, w, h; TSize expected; };
    const Case cases[] = {
        {64, 64, 4000, 3000, {64, 48}},   // wider than the box
        {64, 64, 3000, 4000, {48, 64}},   // taller
        {64, 64, 10, 10, {64, 64}},       // equal ratio, scaled up
        {196, 196, 50, 200, {49, 196}},
        {196, 196, 200, 50, {196, 49}},
        {129, 89, 640, 480, {119, 89}},
        {64, 64, 0, 10, {0, 0}},          // an empty picture fits as nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitSize(c.W, c.H, c.w, c.h), c.expected) << c.W << "x" << c.H << " " << c.w << "x" << c.h;
}

TEST(Paths, TrailingSeparatorAndExtensions)
{
    EXPECT_EQ(WithTrailingBackslash("/home/ann"), "/home/ann/");
    EXPECT_EQ(WithTrailingBackslash("/home/ann/"), "/home/ann/");
    EXPECT_EQ(WithTrailingBackslash(""), "/");
    EXPECT_EQ(ExtractFileExt("/a/b.c/photo.b.pcx"), "pcx");
    EXPECT_EQ(ExtractFileExt("/a/b.c/README"), "");
    EXPECT_EQ(ExtractFileExt("IMG.TIF"), "TIF");
    EXPECT_EQ(ExtractFileName("/a/b/c.jpg"), "c.jpg");
    EXPECT_EQ(ExtractFilePath("/a/b/c.jpg"), "/a/b/");
}

TEST(DateTime, DaysSince1899)
{
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1970, 1, 1), 25569.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 1, 1, 12), 36526.5);
    const TDateParts p = DecodeDateTime(EncodeDateTime(2024, 2, 29, 23, 59, 58));
    EXPECT_EQ(p.Year, 2024);
    EXPECT_EQ(p.Month, 2);
    EXPECT_EQ(p.Day, 29);
    EXPECT_EQ(p.Hour, 23);
    EXPECT_EQ(p.Minute, 59);
    EXPECT_EQ(p.Second, 58);
    const TDateParts before = DecodeDateTime(EncodeDateTime(1899, 12, 29, 6));
    EXPECT_EQ(before.Day, 29);
    EXPECT_EQ(before.Hour, 6);
}

TEST(Checked, OverflowRaisesInsteadOfWrapping)
{
    EXPECT_EQ(CheckedMul(1u << 20, 1u << 20), uint64_t(1) << 40);
    EXPECT_THROW(CheckedMul(uint64_t(1) << 40, uint64_t(1) << 40), Exception);
    EXPECT_THROW(CheckedAdd(~uint64_t(0), 1), Exception);
    EXPECT_EQ(PaddedRowBytes(1, 1), 4u);
    EXPECT_EQ(PaddedRowBytes(33, 1), 8u);
    EXPECT_EQ(PaddedRowBytes(3, 24), 12u);
    EXPECT_EQ(PaddedRowBytes(5, 24), 16u);
}

TEST(Exceptions, AssertionMessageNamesSourceAndLine)
{
    EXPECT_EQ(AssertionFailure("Assertion failure", "FormSettings", 183).Message(),
              "Assertion failure (FormSettings, line 183)");
    EXPECT_EQ(EReadError().Message(), "Stream read error");
    EXPECT_EQ(Format("JPEG error #%d", 42), "JPEG error #42");
}

#include "base/convert.h"

TEST(Convert, IntegersAndTheirMessage)
{
    struct Case { const char* text; bool ok; int value; };
    const Case cases[] = {
        {"2", true, 2},     {"-15", true, -15}, {"  690", true, 690}, {"$1F", true, 31}, {"+7", true, 7},
        {"", false, 0},     {"abc", false, 0},  {"12x", false, 0},    {"1.5", false, 0}, {"99999999999", false, 0},
        {"-2147483648", true, -2147483647 - 1}, {"2147483648", false, 0}, {"518 ", false, 0},
    };
    for (const Case& c : cases) {
        int value = 0;
        EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
    try {
        StrToInt("abc");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    }
}

TEST(Convert, FloatsAndTheirMessage)
{
    EXPECT_DOUBLE_EQ(StrToFloat("4.0"), 4.0);
    EXPECT_DOUBLE_EQ(StrToFloat(" 0.25 "), 0.25);
    EXPECT_THROW(StrToFloat("abc"), EConvertError);
    EXPECT_THROW(StrToFloat(""), EConvertError);
    try {
        StrToFloat("1,5");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'1,5' is not a valid floating point value");
    }
}
