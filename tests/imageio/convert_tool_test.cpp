// tessaria-convert end to end: the program on real files, its output read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "imagetest.h"
#include "metafilebuilder.h"
#include "support/testfiles.h"

using namespace tessaria::test;

namespace {

std::string Tool()
{
    if (const char* dir = std::getenv("TESSARIA_BINARY_DIR"))
        return std::string(dir) + "/tessaria-convert";
    // The build folder's root, two levels above this program (tests/imageio/).
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (self.parent_path().parent_path().parent_path() / "tessaria-convert").string();
}

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun RunTool(const std::string& args, const TempDir& dir)
{
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    ToolRun r;
    r.status = RunCommand(Quote(Tool()) + " " + args + " > " + Quote(out) + " 2> " + Quote(err));
    const auto o = ReadFile(out), e = ReadFile(err);
    r.out.assign(o.begin(), o.end());
    r.err.assign(e.begin(), e.end());
    return r;
}

} // namespace

TEST(ConvertTool, WritesPpmAndPamAndReportsInfo)
{
    if (RunCommand("test -x " + Quote(Tool())) != 0)
        GTEST_SKIP() << "tessaria-convert not built";
    TempDir dir;
    // A palette bitmap: the PPM has it expanded to RGB.
    TBytes d;
    d.U8('B').U8('M').U32(0).U32(0).U32(14 + 40 + 8);
    d.U32(40).U32(2).U32(1).U16(1).U16(1).U32(0).U32(0).U32(0).U32(0).U32(2).U32(0);
    d.U32(0x00102030).U32(0x00A0B0C0).U8(0x40).U8(0).U16(0);
    WriteFile(dir.File("p.bmp"), d.Data);

    ToolRun r = RunTool("--info " + Quote(dir.File("p.bmp")), dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "reader: TBitmap\nformat: pf1bit\nwidth: 2\nheight: 1\norientation: 1\n");

    r = RunTool(Quote(dir.File("p.bmp")) + " " + Quote(dir.File("p.ppm")), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const TPixels ppm = ParseNetpbm(ReadFile(dir.File("p.ppm")));
    EXPECT_EQ(ppm, (TPixels{2, 1, 3, {0x10, 0x20, 0x30, 0xA0, 0xB0, 0xC0}}));

    // 32-bit pictures keep their alpha in a PAM.
    TBytes a;
    a.U8('B').U8('M').U32(0).U32(0).U32(14 + 56);
    a.U32(56).U32(1).U32(1).U16(1).U16(32).U32(3).U32(0).U32(0).U32(0).U32(0).U32(0);
    a.U32(0xFF0000).U32(0xFF00).U32(0xFF).U32(0xFF000000).U8(1).U8(2).U8(3).U8(100);
    WriteFile(dir.File("a.bmp"), a.Data);
    r = RunTool(Quote(dir.File("a.bmp")) + " " + Quote(dir.File("a.pam")), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ParseNetpbm(ReadFile(dir.File("a.pam"))), (TPixels{1, 1, 4, {3, 2, 1, 100}}));

    if (HaveProgram("cjpeg") && HaveProgram("djpeg")) {
        WriteFile(dir.File("s.ppm"), std::string("P6\n3 2\n255\n") + std::string(18, '\x7f'));
        ASSERT_EQ(RunCommand("cjpeg " + Quote(dir.File("s.ppm")) + " > " + Quote(dir.File("s.jpg"))), 0);
        r = RunTool(Quote(dir.File("s.jpg")) + " " + Quote(dir.File("s2.ppm")), dir);
        ASSERT_EQ(r.status, 0) << r.err;
        bool ok = false;
        const std::string reference = CommandOutput("djpeg -pnm " + Quote(dir.File("s.jpg")), &ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(ParseNetpbm(ReadFile(dir.File("s2.ppm"))), ParseNetpbm({reference.begin(), reference.end()}));
    }
}

TEST(ConvertTool, ErrorsGoToStandardErrorWithTheLoadersMessage)
{
    if (RunCommand("test -x " + Quote(Tool())) != 0)
        GTEST_SKIP() << "tessaria-convert not built";
    TempDir dir;
    WriteFile(dir.File("x.xyz"), std::string("abc"));
    WriteFile(dir.File("bad.jpg"), std::string("not a jpeg at all"));
    struct Case { const char* name; std::string args; std::string message; };
    const Case cases[] = {
        {"unknown extension", Quote(dir.File("x.xyz")) + " out.ppm", "Unknown picture file extension (.xyz)"},
        {"missing file", "--info " + Quote(dir.File("none.bmp")), "Cannot open file " + dir.File("none.bmp")},
        {"broken JPEG", "--info " + Quote(dir.File("bad.jpg")), "JPEG error #"},
        {"no arguments", "", "usage:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun r = RunTool(c.args, dir);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(ConvertTool, ConvertsMetafilesLikeAnyOtherPicture)
{
    if (RunCommand("test -x " + Quote(Tool())) != 0)
        GTEST_SKIP() << "tessaria-convert not built";
    TempDir dir;
    // A placeable WMF: a blue rectangle over the left half of 4 x 2 pixels.
    TWmfWriter w;
    w.Rec(0x02FA, {5, 0, 0, 0, 0}).Rec(0x02FC, {0, 0, 0xFF, 0}).Rec(0x012D, {0}).Rec(0x012D, {1});
    w.Rec(0x041B, {20, 20, 0, 0});
    WriteFile(dir.File("m.wmf"), w.Placeable(2, 0, 0, 40, 20, 960));
    ToolRun r = RunTool("--info " + Quote(dir.File("m.wmf")), dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "reader: TMetafile\nformat: pf24bit\nwidth: 4\nheight: 2\norientation: 1\n");
    r = RunTool(Quote(dir.File("m.wmf")) + " " + Quote(dir.File("m.ppm")), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ParseNetpbm(ReadFile(dir.File("m.ppm"))),
              (TPixels{4, 2, 3, {0, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255, 255,
                                 0, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255, 255}}));
    WriteFile(dir.File("e.emf"), TEmfWriter().File(1, 2540, 2540));
    r = RunTool("--info " + Quote(dir.File("e.emf")), dir);
    EXPECT_EQ(r.out, "reader: TMetafile\nformat: pf24bit\nwidth: 96\nheight: 96\norientation: 1\n");
    WriteFile(dir.File("bad.emf"), std::string("not a metafile"));
    r = RunTool("--info " + Quote(dir.File("bad.emf")), dir);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("Metafile is not valid"), std::string::npos) << r.err;
}
