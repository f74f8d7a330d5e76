#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "base/exceptions.h"
#include "browse/bookmarkfile.h"
#include "browse/filesearch.h"
#include "support/testfiles.h"

using namespace tessaria;

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
} // namespace

TEST(BookmarkFile, LineEndsOfEveryKindAndEmptyLines)
{
    test::TempDir dir;
    const std::string path = dir.File("bookmrks.dat");
    struct Case { std::string bytes; QStringList entries; };
    const Case cases[] = {
        {"/a/\r\n/b/c.jpg\r\n", {"/a/", "/b/c.jpg"}},
        {"/a/\n/b/\n", {"/a/", "/b/"}},
        {"/a/\r/b/", {"/a/", "/b/"}},
        {"/a/\r\n\r\n/b/\r\n", {"/a/", "", "/b/"}},
        {"/Caf\xe9/\r\n", {"/Café/"}},               // Latin-1 from an older file
        {"/Caf\xc3\xa9/\r\n", {"/Café/"}},           // UTF-8
        {"", {}},
    };
    for (const Case& c : cases) {
        test::WriteFile(path, c.bytes);
        QStringList entries{"stale"};
        ASSERT_TRUE(ReadBookmarks(Q(path), entries));
        EXPECT_EQ(entries, c.entries) << c.bytes;
    }
    QStringList untouched{"kept"};
    EXPECT_FALSE(ReadBookmarks(Q(dir.File("missing.dat")), untouched));
    EXPECT_EQ(untouched, QStringList{"kept"});

    WriteBookmarks(Q(path), {"/x/", "", "/y/z.bmp"});
    EXPECT_EQ(test::ReadFile(path), (std::vector<uint8_t>{'/', 'x', '/', '\r', '\n', '\r', '\n', '/', 'y', '/', 'z', '.',
                                                          'b', 'm', 'p', '\r', '\n'}));
    EXPECT_THROW(WriteBookmarks(Q(dir.File("no/folder/b.dat")), {"/x/"}), EInOutError);
}

TEST(BookmarkFile, FolderAndNameAndTheFirstMatchingCaption)
{
    EXPECT_EQ(BookmarkFolder("/home/ann/Pictures/a.jpg"), "/home/ann/Pictures/");
    EXPECT_EQ(BookmarkName("/home/ann/Pictures/a.jpg"), "a.jpg");
    EXPECT_EQ(BookmarkName("/home/ann/Pictures/"), "");
    const QStringList captions{"b.jpg", "A.jpg.bak", "a.jpg"};
    EXPECT_EQ(FirstCaptionStartingWith(captions, "a.jpg"), 1); // case ignored, the first from the top
    EXPECT_EQ(FirstCaptionStartingWith(captions, "c"), -1);
}

TEST(FileSearch, FilesFirstThenSubfoldersAndNeverHiddenOnes)
{
    test::TempDir dir;
    const QString root = Q(dir.Path().string());
    QDir(root).mkpath("sub/deeper");
    QDir(root).mkpath(".hidden");
    for (const char* f : {"a.jpg", "B.JPG", "c.png", ".secret.jpg", "sub/d.jpg", "sub/deeper/e.jpg", ".hidden/f.jpg"})
        test::WriteFile(dir.File(f), std::string("x"));
    QFile::link(root + "/sub", root + "/sub/deeper/loop"); // a link back up must not loop

    QStringList found, entered;
    TFileSearchHooks hooks;
    hooks.Pattern = [] { return QStringLiteral("*.jpg"); };
    hooks.Found = [&](const QString& p) {
        found << p;
        return true;
    };
    hooks.Searching = [] { return true; };
    hooks.EnteringFolder = [&](const QString& f) { entered << f; };
    EXPECT_EQ(SearchFolder(root, hooks), TFileSearchEnd::Completed);
    found.sort();
    EXPECT_EQ(found, (QStringList{root + "/B.JPG", root + "/a.jpg", root + "/sub/d.jpg", root + "/sub/deeper/e.jpg"}));
    EXPECT_EQ(entered, (QStringList{root + "/", root + "/sub/", root + "/sub/deeper/"}));

    // Full after two; stopped at once.
    int room = 2;
    hooks.Found = [&](const QString&) { return room-- > 0; };
    EXPECT_EQ(SearchFolder(root, hooks), TFileSearchEnd::Full);
    hooks.Searching = [] { return false; };
    EXPECT_EQ(SearchFolder(root, hooks), TFileSearchEnd::Stopped);
    EXPECT_THROW(SearchFolder(root + "/nothing", hooks), EInOutError);
}
