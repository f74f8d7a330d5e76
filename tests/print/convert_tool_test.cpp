// tessaria-convert with --resize, --filter and --rotate, run as a program.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "imageio/picture.h"
#include "print/core/resample.h"
#include "print/core/rotate.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// The build folder's top, where the tool is: from the environment, or two
// folders above this test program (tests/print/).
std::string Tool()
{
    if (const char* dir = std::getenv("TESSARIA_BINARY_DIR"))
        return std::string(dir) + "/tessaria-convert";
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path().parent_path() / "tessaria-convert").string();
}

void Put32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

// A 24-bit Windows bitmap, bottom-up, every pixel different.
std::vector<uint8_t> Bmp(int w, int h)
{
    const uint32_t rowBytes = (uint32_t(w) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b = {'B', 'M'};
    Put32(b, 54 + rowBytes * uint32_t(h));
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, uint32_t(w));
    Put32(b, uint32_t(h));
    b.push_back(1), b.push_back(0), b.push_back(24), b.push_back(0);
    for (int i = 0; i < 6; ++i)
        Put32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            b.push_back(uint8_t(x * 40));
            b.push_back(uint8_t(y * 60));
            b.push_back(uint8_t((x * 13 + y * 71) & 255));
        }
        for (uint32_t pad = uint32_t(w) * 3; pad < rowBytes; ++pad)
            b.push_back(0);
    }
    return b;
}

// The PPM a tessaria-convert run wrote, as blue, green, red rows.
bool ReadPpm(const std::string& path, int& w, int& h, std::vector<uint8_t>& bgr)
{
    const std::vector<uint8_t> data = ReadFile(path);
    const std::string text(data.begin(), data.end());
    int maxval = 0, used = 0;
    if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &w, &h, &maxval, &used) != 3 || maxval != 255)
        return false;
    const size_t start = size_t(used) + 1;
    if (data.size() != start + size_t(w) * h * 3)
        return false;
    bgr.clear();
    for (size_t i = start; i < data.size(); i += 3)
        bgr.insert(bgr.end(), {data[i + 2], data[i + 1], data[i]});
    return true;
}

} // namespace

TEST(ConvertToolResize, ResizesThenRotates)
{
    if (RunCommand("test -x " + Quoted(Tool())) != 0)
        GTEST_SKIP() << "tessaria-convert not built";
    TempDir dir;
    WriteFile(dir.File("in.bmp"), Bmp(7, 5));
    struct Case { std::string args; int w, h, filter, degrees; };
    const Case cases[] = {
        {"--resize 4x3 --filter 5 --rotate 90", 4, 3, 5, 90},
        {"--rotate 270", 0, 0, -1, 270},
        {"--resize 12x9 --filter 6", 12, 9, 6, 0},
        {"--resize 1x1", 1, 1, 0, 0},
        {"--rotate 180 --resize 3x8 --filter 2", 3, 8, 2, 180}, // order on the line does not matter
    };
    for (const Case& c : cases) {
        const std::string out = dir.File("out.ppm");
        ASSERT_EQ(RunCommand(Quoted(Tool()) + " " + c.args + " " + Quoted(dir.File("in.bmp")) + " " + Quoted(out)), 0)
            << c.args;
        TBitmap expected = LoadBitmapFromFile(dir.File("in.bmp"));
        if (c.filter >= 0)
            Stretch(c.w, c.h, c.filter, expected);
        RotateByDegrees(expected, c.degrees);
        std::vector<uint8_t> want;
        for (int y = 0; y < expected.Height(); ++y)
            want.insert(want.end(), expected.ScanLine(y), expected.ScanLine(y) + 3 * expected.Width());
        int w = 0, h = 0;
        std::vector<uint8_t> got;
        ASSERT_TRUE(ReadPpm(out, w, h, got)) << c.args;
        EXPECT_EQ(w, expected.Width()) << c.args;
        EXPECT_EQ(h, expected.Height()) << c.args;
        EXPECT_EQ(got, want) << c.args;
    }
}

TEST(ConvertToolResize, RejectsBadOptions)
{
    if (RunCommand("test -x " + Quoted(Tool())) != 0)
        GTEST_SKIP() << "tessaria-convert not built";
    TempDir dir;
    WriteFile(dir.File("in.bmp"), Bmp(3, 3));
    for (const char* args : {"--resize 4x3 --filter 7", "--resize 4 --filter 1", "--resize -4x3", "--rotate 45",
                             "--filter 2", "--resize 4x3 --filter", "--rotate"}) {
        const int status = RunCommand(Quoted(Tool()) + " " + args + " " + Quoted(dir.File("in.bmp")) + " " +
                                      Quoted(dir.File("out.ppm")) + " 2>/dev/null");
        EXPECT_NE(status, 0) << args;
    }
}
