#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "document/documentreader.h"
#include "document/documentwriter.h"
#include "document/safefile.h"
#include "filebuilder.h"
#include "samples.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> FolderNames(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TDocumentBox Picture(int32_t left, int32_t top, int32_t width, int32_t height, std::string path)
{
    TDocumentBox box;
    box.Left = left;
    box.Top = top;
    box.Width = width;
    box.Height = height;
    box.CanvasPPI = 48;
    box.FontName = "Arial";
    box.FontSize = 10;
    box.FileName = std::move(path);
    return box;
}

TDocumentBox Text(std::vector<std::string> lines, TAlignment alignment, int32_t tag)
{
    TDocumentBox box = Picture(0, 100, 120, 40, "");
    box.SetTextBox(true);
    box.SetAlignment(alignment);
    box.Tag = tag;
    box.Lines = std::move(lines);
    return box;
}

uint32_t Mode(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

} // namespace

TEST(DocumentWriter, WritesGeneration3ByteForByte)
{
    const TSample sample = Generation3Sample();
    EXPECT_EQ(DocumentBytes(sample.Document), sample.Bytes);
}

TEST(DocumentWriter, OlderGenerationsAreWrittenAsGeneration3)
{
    for (const TSample& sample : {Generation1Sample(), Generation2Sample()}) {
        const std::vector<uint8_t> bytes = DocumentBytes(ReadDocument(sample.Bytes));
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes[0], 3) << sample.Name;
        TDocument expected = sample.Document;
        expected.Generation = 3;
        EXPECT_EQ(ReadDocument(bytes), expected) << sample.Name;
    }
}

TEST(DocumentWriter, RoundTrips)
{
    struct Case { const char* name; TDocument document; };
    std::vector<Case> cases;
    const auto one = [](std::vector<TDocumentBox> boxes) {
        TDocument d;
        d.Pages.push_back({0, 283, 400, std::move(boxes)});
        return d;
    };
    cases.push_back({"no pages", TDocument{}});
    cases.push_back({"a page without boxes between two", [&] {
        TDocument d;
        d.Pages.push_back({1, 400, 283, {Picture(1, 2, 3, 4, "/a.jpg")}});
        d.Pages.push_back({1, 400, 283, {}});
        d.Pages.push_back({1, 400, 283, {Picture(5, 6, 7, 8, "/b.jpg")}});
        return d;
    }()});
    cases.push_back({"negative and large positions", one({Picture(-150, -2147483647 - 1, 2147483647, 0, "/a.jpg")})});
    cases.push_back({"every rotation", [&] {
        std::vector<TDocumentBox> boxes;
        for (int r : {0, 90, 180, 270}) {
            boxes.push_back(Picture(r, 0, 10, 20, "/r.jpg"));
            boxes.back().Rotation = r;
        }
        return one(boxes);
    }()});
    cases.push_back({"fonts and colours", [&] {
        TDocumentBox a = Text({"x"}, TAlignment::taLeftJustify, 0);
        a.FontName = "DejaVu Sans Mono";
        a.FontSize = 72;
        a.FontColor = -2147483643; // a system colour
        TDocumentBox b = a;
        b.FontName = "";
        b.FontColor = 0x00123456;
        return one({a, b});
    }()});
    cases.push_back({"every alignment", one({Text({"l"}, TAlignment::taLeftJustify, 0),
                                             Text({"c"}, TAlignment::taCenter, 0),
                                             Text({"r"}, TAlignment::taRightJustify, 0)})});
    cases.push_back({"texts of several lines, empty ones too",
                     one({Text({"first", "", "third", ""}, TAlignment::taCenter, 0), Text({}, TAlignment::taCenter, 0),
                          Text({""}, TAlignment::taCenter, 0)})});
    cases.push_back({"links", [&] {
        TDocumentBox p = Picture(10, 10, 100, 80, "/p.jpg");
        p.Tag = 1;
        TDocumentBox q = Picture(10, 200, 100, 80, "/q.jpg");
        q.Tag = 2;
        return one({p, Text({"caption"}, TAlignment::taCenter, 1), q, Text({"other"}, TAlignment::taLeftJustify, 2)});
    }()});
    cases.push_back({"accented and non-Latin names", [&] {
        TDocumentBox p = Picture(0, 0, 10, 10, "/home/zo\xc3\xab/\xe5\x86\x99\xe7\x9c\x9f/Stra\xc3\x9f" "e \xf0\x9f\x93\xb7.jpg");
        p.FontName = "Caf\xc3\xa9";
        return one({p, Text({"\xc3\x89t\xc3\xa9 \xe2\x82\xac 5"}, TAlignment::taLeftJustify, 0)});
    }()});
    for (Case& c : cases) {
        c.document.BoxCount = int32_t(c.document.CountBoxes());
        EXPECT_EQ(ReadDocument(DocumentBytes(c.document)), c.document) << c.name;
    }
}

TEST(DocumentWriter, HeaderCountsTheRecords)
{
    TDocument d;
    d.BoxCount = 99; // a stale value from the file it was read from
    d.Pages.push_back({0, 283, 400, {Picture(0, 0, 1, 1, "/a"), Picture(0, 0, 1, 1, "/b")}});
    d.Pages.push_back({0, 283, 400, {Picture(0, 0, 1, 1, "/c")}});
    EXPECT_EQ(ReadDocument(DocumentBytes(d)).BoxCount, 3);
}

TEST(DocumentWriter, KindAndAlignmentOutsideTheirRange)
{
    TDocumentBox odd = Picture(0, 0, 1, 1, "/a.jpg");
    odd.Kind = 7;
    odd.SetAlignment(static_cast<TAlignment>(9));
    EXPECT_EQ(odd.AlignmentCode, 0);
    TDocument d;
    d.Pages.push_back({0, 1, 1, {odd}});
    const TDocumentBox back = ReadDocument(DocumentBytes(d)).Pages[0].Boxes[0];
    EXPECT_EQ(back.Kind, 0) << "the kind is 1 exactly for text boxes";
    EXPECT_EQ(back.FileName, "/a.jpg");
}

TEST(TextLines, JoinAndSplit)
{
    struct Case { std::string text; std::vector<std::string> lines; };
    const Case cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\r\ntwo", {"one", "two"}},
        {"one\ntwo\rthree", {"one", "two", "three"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\n\r", {"", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitTextLines(c.text), c.lines) << testing::PrintToString(c.text);
    EXPECT_EQ(JoinTextLines({"one", "", "three"}), "one\r\n\r\nthree\r\n");
    EXPECT_EQ(JoinTextLines({}), "");
}

TEST(SafeSave, WritesAndReplacesLeavingNoTemporaryFile)
{
    TempDir dir;
    const std::string path = dir.File("layout.tsd");
    const TSample g3 = Generation3Sample();
    SaveDocument(g3.Document, path);
    EXPECT_EQ(ReadFile(path), g3.Bytes);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(Mode(path), 0666u & ~mask);

    ::chmod(path.c_str(), 0640);
    const TSample g2 = Generation2Sample();
    SaveDocument(g2.Document, path);
    EXPECT_EQ(ReadDocumentFile(path).Pages, g2.Document.Pages);
    EXPECT_EQ(Mode(path), 0640u) << "a replaced file keeps its permissions";
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"layout.tsd"});
}

TEST(SafeSave, KeepsASymbolicLink)
{
    TempDir dir;
    fs::create_directory(dir.Path() / "real");
    WriteFile(dir.File("real/layout.tsd"), "old");
    fs::create_symlink("real/layout.tsd", dir.Path() / "link.tsd");
    SaveDocument(Generation3Sample().Document, dir.File("link.tsd"));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.tsd"));
    EXPECT_EQ(ReadFile(dir.File("real/layout.tsd")), Generation3Sample().Bytes);
}

TEST(SafeSave, AFailedSaveLeavesTheOldFileAndReportsIt)
{
    TempDir dir;
    const TDocument document = Generation3Sample().Document;

    // The tests run as root, so a read-only folder would not stop the write:
    // each failure is made another way.
    struct Case { const char* name; std::string path; std::string reason; };
    fs::create_directory(dir.Path() / "taken.tsd");
    WriteFile(dir.File("taken.tsd/inside"), "keep");
    const Case cases[] = {
        {"folder does not exist", dir.File("nowhere/layout.tsd"), "No such file or directory"},
        {"a folder in the file's place", dir.File("taken.tsd"), "Is a directory"},
    };
    for (const Case& c : cases) {
        try {
            SaveDocument(document, c.path);
            ADD_FAILURE() << c.name << ": saved";
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot write the file " + c.path + ": " + c.reason) << c.name;
        }
    }
    EXPECT_EQ(ReadFile(dir.File("taken.tsd/inside")), std::vector<uint8_t>({'k', 'e', 'e', 'p'}));
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"taken.tsd"});
}

TEST(SafeSave, AWriteThatFailsHalfwayLeavesTheOldFile)
{
    TempDir dir;
    const std::string path = dir.File("layout.tsd");
    const std::vector<uint8_t> old(100000, 0x5A);
    WriteFile(path, old);

    // A file size limit makes the write fail after some bytes, as a full disk would.
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 3000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        SaveDocument(Generation3Sample().Document, path);
    } catch (const EInOutError& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(message, "Cannot write the file " + path + ": File too large");
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"layout.tsd"});
}

TEST(SafeSave, TheNextSaveRemovesWhatAKilledSaveLeftBehind)
{
    TempDir dir;
    const std::string path = dir.File("layout.tsd");
    WriteFile(path, "old");
    // A save killed between writing and renaming: here the file size limit's
    // signal ends the process halfway through its write.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit small {1000, 1000};
        setrlimit(RLIMIT_FSIZE, &small);
        const std::vector<uint8_t> big(100000, 0x5A);
        WriteFileSafely(path, big.data(), big.size());
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the save was not killed";
    std::vector<std::string> names = FolderNames(dir.Path());
    ASSERT_EQ(names.size(), 2u);
    const std::string leftover = names[0];
    EXPECT_TRUE(IsTemporarySaveName(leftover)) << leftover;
    EXPECT_EQ(ReadFile(path), std::vector<uint8_t>({'o', 'l', 'd'}));

    // The killed program ran before this one; while its time stamp says
    // otherwise the leftover might be another copy's save under way. (The
    // times are set, as the file system's clock may lag ours by a tick.)
    fs::last_write_time(dir.Path() / leftover, ProgramStartTime() + std::chrono::seconds(1));
    SaveDocument(Generation3Sample().Document, dir.File("other.tsd"));
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{leftover, "layout.tsd", "other.tsd"}));
    fs::last_write_time(dir.Path() / leftover, ProgramStartTime() - std::chrono::hours(1));
    SaveDocument(Generation3Sample().Document, dir.File("other.tsd"));
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"layout.tsd", "other.tsd"}));
}

TEST(SafeSave, OnlyOurOwnOldTemporaryFilesAreRemoved)
{
    TempDir dir;
    const auto before = ProgramStartTime() - std::chrono::hours(2);
    const auto after = ProgramStartTime() + std::chrono::minutes(1);
    struct Case { std::string name; bool removed; };
    const Case cases[] = {
        {".holiday.tsd.tessaria-a1B2c3", true},
        {".other name.tsd.tessaria-ZZZZZZ", true},
        {".holiday.tsd.backup", false},              // the user's own hidden copy
        {".holiday.tsd.a1B2c3", false},              // six letters, no mark
        {"holiday.tsd.tessaria-a1B2c3", false},      // not hidden
        {".holiday.tsd.tessaria-a1B2c", false},      // five letters
        {".holiday.tsd.tessaria-a1B2c3d", false},    // seven
        {".holiday.tsd.tessaria-a1B2-3", false},     // not a letter or digit
        {".holiday.tsd.tessaria-a1B2c3.bak", false}, // something after
        {".tessaria-a1B2c3", false},                 // no file name before the mark
    };
    for (const Case& c : cases) {
        WriteFile(dir.File(c.name), "x");
        fs::last_write_time(dir.Path() / c.name, before);
    }
    // Named as ours, but new (another copy saving now), not a file, or a link.
    WriteFile(dir.File(".new.tsd.tessaria-n3wn3w"), "x");
    fs::last_write_time(dir.Path() / ".new.tsd.tessaria-n3wn3w", after);
    fs::create_directory(dir.Path() / ".dir.tsd.tessaria-d1rd1r");
    WriteFile(dir.File("target"), "kept");
    fs::create_symlink("target", dir.Path() / ".link.tsd.tessaria-l1nkl1");

    SaveDocument(Generation3Sample().Document, dir.File("holiday.tsd"));
    const std::vector<std::string> names = FolderNames(dir.Path());
    for (const Case& c : cases)
        EXPECT_EQ(std::find(names.begin(), names.end(), c.name) == names.end(), c.removed) << c.name;
    for (const char* kept : {".new.tsd.tessaria-n3wn3w", ".dir.tsd.tessaria-d1rd1r", ".link.tsd.tessaria-l1nkl1"})
        EXPECT_NE(std::find(names.begin(), names.end(), kept), names.end()) << kept;
    EXPECT_EQ(ReadFile(dir.File("target")), std::vector<uint8_t>({'k', 'e', 'p', 't'}));
    EXPECT_EQ(names.size(), 13u) << "nothing else removed, nothing left by this save";
}

TEST(SafeSave, ALongFileNameStillGetsATemporaryFile)
{
    TempDir dir;
    for (size_t length : {200u, 250u, 255u}) {
        const std::string name = std::string(length - 4, 'n') + ".tsd";
        SaveDocument(Generation3Sample().Document, dir.File(name));
        EXPECT_EQ(ReadFile(dir.File(name)), Generation3Sample().Bytes) << length;
    }
    EXPECT_EQ(FolderNames(dir.Path()).size(), 3u);
}
