#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include "base/datetime.h"
#include "base/exceptions.h"
#include "browse/filecolumns.h"
#include "browse/filemask.h"
#include "browse/filesort.h"

using namespace tessaria;

TEST(FileMask, SplitsIntoPatterns)
{
    const QString longRest = "*.a;" + QString(96, 'x') + ";*.b;*.c;"; // the ";" after "*.b" is character 101
    struct TCase {
        const char* Name;
        QString Mask;
        QStringList Patterns;
    } cases[] = {
        {"default", "*.jpg;*.bmp;*.tif;*.pcx;*.pcd;", {"*.jpg", "*.bmp", "*.tif", "*.pcx", "*.pcd"}},
        {"last without semicolon", "*.jpg;*.bmp", {"*.jpg"}},
        {"no semicolon", "*.jpg", {}},
        {"empty", "", {}},
        {"duplicates kept", "*.jpg;*.jpg;", {"*.jpg", "*.jpg"}},
        {"empty patterns kept", ";;*.bmp;", {"", "", "*.bmp"}},
        {"rest cut to 100", longRest, {"*.a", QString(96, 'x')}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(SplitFileMask(c.Mask), c.Patterns) << c.Name;
}

TEST(FileMask, TheCutAppliesToTheRestAfterEachPattern)
{
    // 110 characters after the first pattern: the patterns beyond 100 are lost.
    QString mask = "*.jpg;";
    for (int i = 0; i < 22; ++i)
        mask += QString("*.%1%1;").arg(QChar('a' + i)); // 5 characters each
    const QStringList patterns = SplitFileMask(mask);
    ASSERT_EQ(patterns.size(), 21); // 20 whole patterns fit in 100 characters
    EXPECT_EQ(patterns.front(), "*.jpg");
    EXPECT_EQ(patterns.back(), "*.tt");
}

TEST(FileMask, PatternsMatchNamesWhateverTheirCase)
{
    struct TCase {
        const char* Name;
        const char* Pattern;
        bool Matches;
    } cases[] = {
        {"IMG_0001.JPG", "*.jpg", true},  {"photo.jpg", "*.JPG", true},      {"photo.jpeg", "*.jpg", false},
        {"photo.jpg.txt", "*.jpg", false}, {"a.bmp", "?.bmp", true},         {"ab.bmp", "?.bmp", false},
        {"x.tif", "*", true},             {"x.tif", "", false},              {"x.tif", "x.t*f", true},
        {"x.tf", "x.t?*f", false},        {"aaa.b", "*a*a*.b", true},        {"[1].jpg", "[1].jpg", true},
        {"1.jpg", "[1].jpg", false},      {"noext", "*.*", false},           {"a.b", "*.*", true},
        {"ÉTÉ.jpg", "été.JPG", true},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(MatchesFilePattern(QString::fromUtf8(c.Name), QString::fromUtf8(c.Pattern)), c.Matches)
            << c.Name << " ~ " << c.Pattern;
}

TEST(FileColumns, SizeAndType)
{
    const std::pair<qint64, const char*> sizes[] = {{0, "1"}, {1, "1"}, {1023, "1"}, {1024, "2"}, {2047, "2"},
                                                    {2048, "3"}, {int64_t(5) << 40, "5368709121"}};
    for (auto [bytes, text] : sizes)
        EXPECT_EQ(FileSizeText(bytes), text) << bytes;
    const std::pair<const char*, const char*> types[] = {
        {"a.jpg", "JPG"}, {"a.jpeg", "JPE"}, {"README", ""},   {"a.", ""},        {"a.b.tif", "TIF"},
        {"a.Bmp", "BMP"}, {"x.é1", "é1"},    {"x.ab", "AB"},   {"x.tiff5", "TIF"},
    };
    for (auto [name, type] : types)
        EXPECT_EQ(FileTypeText(QString::fromUtf8(name)), QString::fromUtf8(type)) << name;
}

TEST(FileColumns, ModifiedTextLeavesOutMidnight)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(FileModifiedText(QDateTime(QDate(2021, 3, 7), QTime(0, 0)), c), "7 Mar 2021");
    EXPECT_EQ(FileModifiedText(QDateTime(QDate(2021, 3, 7), QTime(0, 0, 0, 400)), c), "7 Mar 2021");
    const QString withTime = FileModifiedText(QDateTime(QDate(2021, 3, 7), QTime(0, 0, 1)), c);
    EXPECT_TRUE(withTime.startsWith("7 Mar 2021 00:00:01")) << withTime.toStdString();
    const QLocale us("en_US");
    // Years keep their century, so that 1999 and 2001 sort and read back right.
    EXPECT_TRUE(FileModifiedText(QDateTime(QDate(2021, 3, 7), QTime(15, 4, 5)), us).startsWith("3/7/2021 3:04:05 PM"));
    EXPECT_EQ(FileModifiedText(QDateTime(QDate(1999, 3, 7), QTime(0, 0)), QLocale("de_DE")), "07.03.1999");
    EXPECT_EQ(FourDigitYears("M/d/yy"), "M/d/yyyy");
    EXPECT_EQ(FourDigitYears("yyyy/MM/dd"), "yyyy/MM/dd");
}

TEST(FileColumns, ModifiedTextReadsBackExactlyInEveryLocale)
{
    const QDateTime times[] = {
        QDateTime(QDate(2021, 3, 7), QTime(15, 4, 5)),  QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)),
        QDateTime(QDate(2024, 7, 1), QTime(0, 0)),      QDateTime(QDate(1975, 1, 2), QTime(12, 0, 0)),
        QDateTime(QDate(2030, 11, 30), QTime(0, 0, 1)), QDateTime(QDate(2004, 2, 29), QTime(1, 2, 3)),
    };
    for (const char* name : {"C", "en_US", "de_DE", "en_GB", "fr_FR", "ja_JP", "ar_EG", "ru_RU", "zh_CN"}) {
        const QLocale locale = QString(name) == "C" ? QLocale::c() : QLocale(name);
        for (const QDateTime& time : times) {
            const QString text = FileModifiedText(time, locale);
            const TDateTime expected = EncodeDateTime(time.date().year(), time.date().month(), time.date().day(),
                                                      time.time().hour(), time.time().minute(), time.time().second());
            try {
                EXPECT_EQ(FileModifiedValue(text, locale), expected) << name << ": " << text.toStdString();
            } catch (const Exception& e) {
                ADD_FAILURE() << name << ": " << text.toStdString() << ": " << e.what();
            }
        }
    }
}

TEST(FileColumns, ModifiedTextThatCannotBeReadRaises)
{
    for (const char* text : {"", "yesterday", "32 Mar 2021", "7 Mar 2021 25:00:00 UTC"}) {
        try {
            FileModifiedValue(text, QLocale::c());
            ADD_FAILURE() << text << " was read";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid date and time");
        }
    }
}

namespace {
TFileItemTexts Item(const char* caption, const char* size, const char* type, const QDateTime& modified)
{
    return {caption, size, type, FileModifiedText(modified, QLocale::c())};
}
} // namespace

TEST(FileSort, KeysOfEachColumn)
{
    const TFileItemTexts item = Item("photo_b.Jpg", "12", "JPG", QDateTime(QDate(2021, 3, 7), QTime(12, 0)));
    const QLocale c = QLocale::c();
    EXPECT_EQ(FileSortKey(0, item, c).Text, "PHOTO_B.JPG");
    EXPECT_EQ(FileSortKey(1, item, c).Number, 12);
    EXPECT_EQ(FileSortKey(2, item, c).Text, "JPGPHOTO_B.JPG");
    // 7 March 2021 is day 44262 counted from 30 December 1899.
    EXPECT_EQ(FileSortKey(3, item, c).Text, "044262.50000000PHOTO_B.JPG");
    EXPECT_EQ(FormatDayNumber(1.25), "000001.25000000");
    TFileItemTexts bad = item;
    bad.Size = "12a";
    EXPECT_THROW(FileSortKey(1, bad, c), EConvertError);
    bad.Modified = "soon";
    EXPECT_THROW(FileSortKey(3, bad, c), EConvertError);
}

TEST(FileSort, ComparisonsAndDirections)
{
    const QLocale c = QLocale::c();
    const QDateTime noon(QDate(2021, 3, 7), QTime(12, 0));
    struct TCase {
        const char* Name;
        int Column;
        TFileItemTexts A, B;
        int Ascending; // sign of the comparison of A with B
    } cases[] = {
        {"names ignore case", 0, Item("abc", "1", "", noon), Item("ABD", "1", "", noon), -1},
        {"prefix first", 0, Item("ab", "1", "", noon), Item("abc", "1", "", noon), -1},
        {"equal names", 0, Item("Ab", "1", "", noon), Item("aB", "1", "", noon), 0},
        {"bytes, not letters", 0, Item("a_", "1", "", noon), Item("aZ", "1", "", noon), 1},
        {"sizes as numbers", 1, Item("a", "9", "", noon), Item("b", "10", "", noon), -1},
        {"equal sizes", 1, Item("a", "9", "", noon), Item("b", "9", "", noon), 0},
        {"type first", 2, Item("z.BMP", "1", "BMP", noon), Item("a.JPG", "1", "JPG", noon), -1},
        {"then name", 2, Item("b.jpg", "1", "JPG", noon), Item("a.jpg", "1", "JPG", noon), 1},
        {"time first", 3, Item("z", "1", "", noon), Item("a", "1", "", noon.addSecs(1)), -1},
        {"then name at one time", 3, Item("a", "1", "", noon), Item("B", "1", "", noon), -1},
        {"midnight before a second past", 3, Item("z", "1", "", QDateTime(QDate(2021, 3, 7), QTime(0, 0))),
         Item("a", "1", "", QDateTime(QDate(2021, 3, 7), QTime(0, 0, 1))), -1},
    };
    for (const TCase& t : cases) {
        const int up = CompareFileItems(t.Column, true, t.A, t.B, c);
        const int down = CompareFileItems(t.Column, false, t.A, t.B, c);
        EXPECT_EQ((up > 0) - (up < 0), t.Ascending) << t.Name;
        EXPECT_EQ((down > 0) - (down < 0), -t.Ascending) << t.Name << " (descending)";
    }
}

TEST(FileSort, OrderIsStableAndAFailingKeyMovesNothing)
{
    const QLocale c = QLocale::c();
    const QDateTime noon(QDate(2021, 3, 7), QTime(12, 0));
    std::vector<TFileItemTexts> items = {Item("c", "2", "", noon), Item("a", "1", "", noon), Item("b", "2", "", noon),
                                         Item("d", "1", "", noon)};
    EXPECT_EQ(SortedFileOrder(items, 1, true, c), (std::vector<int>{1, 3, 0, 2}));
    EXPECT_EQ(SortedFileOrder(items, 1, false, c), (std::vector<int>{0, 2, 1, 3}));
    EXPECT_EQ(SortedFileOrder(items, 0, false, c), (std::vector<int>{3, 0, 2, 1}));
    items[2].Modified = "never";
    EXPECT_THROW(SortedFileOrder(items, 3, true, c), EConvertError);
}
