// Times `tessaria --arrange 4x5 --paper A4 --print-pdf` on 100 photos of
// 4000 x 3000 (every fifth one 3000 x 4000): five A4 sheets of 20 pictures at
// the default 200 DPI and Lanczos3. The peer is ImageMagick's montage making
// the same five sheets: 4 x 5 tiles of the same cell size and gap in pixels
// at 200 DPI, each photo fitted into its tile with the Lanczos filter,
// written as PNG pages: Debian's ImageMagick policy does not let it write PDF. Both run in turn in one process; the medians of wall
// time and peak resident memory are reported with their ratios. Tessaria's
// sheets are then checked with pdfinfo, pdfimages and pdftoppm.
//
// montage reads every photo of a sheet before it lays any out; at full size
// 20 photos take more than Debian's ImageMagick policy lets it use, so it is
// given the photos' decoding size hint (-define jpeg:size), with which libjpeg
// decodes them at a reduced scale. The figures say so.
//
//   bench_arrange [-n RUNS] [DIR]
//
// Without DIR the photos are written into a temporary folder first.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/runprocess.h"
#include "common/benchphotos.h"
#include "common/summary.h"

using tessaria::bench::BenchPhotos;
using tessaria::bench::Summary;
using tessaria::bench::RunProcess;
using tessaria::bench::TProcessRun;
namespace fs = std::filesystem;

namespace {

constexpr int Count = 100, Columns = 4, Rows = 5, Dpi = 200;
constexpr double GapMillimetres = 4;

std::string Output(const std::string& command)
{
    std::string text;
    if (FILE* f = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        pclose(f);
    }
    return text;
}

struct TGrey {
    int Width = 0, Height = 0;
    std::vector<unsigned char> Pixels;
    int At(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
};

// A binary PGM as pdftoppm -gray writes it.
TGrey ReadPgm(const std::string& fileName)
{
    TGrey g;
    FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f)
        return g;
    int maxValue = 0;
    if (std::fscanf(f, "P5 %d %d %d", &g.Width, &g.Height, &maxValue) == 3 && g.Width > 0 && g.Height > 0 &&
        g.Width < 20000 && g.Height < 20000 && maxValue == 255) {
        std::fgetc(f);
        g.Pixels.resize(size_t(g.Width) * size_t(g.Height));
        if (std::fread(g.Pixels.data(), 1, g.Pixels.size(), f) != g.Pixels.size())
            g = {};
    } else {
        g = {};
    }
    std::fclose(f);
    return g;
}

// The sheets as a reader sees them: five pages, a hundred pictures each no
// larger than its cell and filling it one way (within rounding), and on every page the ink of
// each picture inside its own cell (pdftoppm at 50 DPI, a pixel of slack for
// rounding). Failures are printed; the count of them is returned.
int VerifySheets(const std::string& pdf, const fs::path& work, double areaWidth, double areaHeight, double gapInches,
                 int cellWidth, int cellHeight)
{
    int failures = 0;
    auto fail = [&](const std::string& what) {
        std::fprintf(stderr, "check: %s\n", what.c_str());
        ++failures;
    };
    const std::string info = Output("pdfinfo '" + pdf + "' 2>/dev/null");
    const size_t at = info.find("Pages:");
    const int pages = at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
    if (pages != 5)
        fail("the PDF has " + std::to_string(pages) + " pages, 5 wanted");

    // The layout is in whole page pixels (the page is 400 high): a cell and
    // its box each hold to one of them, and the page's pixels per inch are a
    // whole number too, a fraction of a percent off.
    const double slack = 2 * areaHeight * Dpi / 400 + 1;
    // pdfimages -list: two header lines, then page num type width height ...
    const std::string list = Output("pdfimages -list '" + pdf + "' 2>/dev/null");
    int images = 0, lineNumber = 0;
    size_t start = 0;
    while (start < list.size()) {
        const size_t end = std::min(list.find('\n', start), list.size());
        const std::string line = list.substr(start, end - start);
        start = end + 1;
        if (++lineNumber <= 2 || line.empty())
            continue;
        int page = 0, number = 0, width = 0, height = 0;
        char type[32] = {};
        if (std::sscanf(line.c_str(), "%d %d %31s %d %d", &page, &number, type, &width, &height) != 5 ||
            std::string(type) != "image")
            continue;
        ++images;
        const bool inside = width <= cellWidth + slack && height <= cellHeight + slack;
        const bool fills = width >= cellWidth - slack || height >= cellHeight - slack;
        if (!inside || !fills)
            fail("picture " + std::to_string(number) + " on page " + std::to_string(page) + " is " +
                 std::to_string(width) + " x " + std::to_string(height) + " for a cell of " + std::to_string(cellWidth) +
                 " x " + std::to_string(cellHeight));
    }
    if (images != Count)
        fail("the PDF holds " + std::to_string(images) + " pictures, " + std::to_string(Count) + " wanted");

    const int r = 50;
    const std::string prefix = (work / "page").string();
    RunProcess({"pdftoppm", "-gray", "-r", std::to_string(r), pdf, prefix});
    const double left = 0.5 * r, top = 1.0 * r, gap = gapInches * r;
    const double cw = (areaWidth * r - (Columns - 1) * gap) / Columns, ch = (areaHeight * r - (Rows - 1) * gap) / Rows;
    for (int page = 1; page <= pages; ++page) {
        const TGrey g = ReadPgm(prefix + "-" + std::to_string(page) + ".pgm");
        if (g.Pixels.empty()) {
            fail("page " + std::to_string(page) + " could not be rendered");
            continue;
        }
        for (int cell = 0; cell < Columns * Rows && (page - 1) * Columns * Rows + cell < Count; ++cell) {
            const double x0 = left + (cell % Columns) * (cw + gap), y0 = top + (cell / Columns) * (ch + gap);
            // Search the cell and half the gap around it for ink.
            int minX = g.Width, minY = g.Height, maxX = -1, maxY = -1;
            for (int y = std::max(0, int(y0 - gap / 2)); y < std::min(g.Height, int(y0 + ch + gap / 2)); ++y)
                for (int x = std::max(0, int(x0 - gap / 2)); x < std::min(g.Width, int(x0 + cw + gap / 2)); ++x)
                    if (g.At(x, y) < 235) {
                        minX = std::min(minX, x), maxX = std::max(maxX, x);
                        minY = std::min(minY, y), maxY = std::max(maxY, y);
                    }
            const std::string name = "page " + std::to_string(page) + " cell " + std::to_string(cell + 1);
            if (maxX < 0) {
                fail(name + " is empty");
                continue;
            }
            if (minX < x0 - 1.5 || minY < y0 - 1.5 || maxX > x0 + cw + 1.5 || maxY > y0 + ch + 1.5)
                fail(name + ": ink from " + std::to_string(minX) + "," + std::to_string(minY) + " to " +
                     std::to_string(maxX) + "," + std::to_string(maxY) + " leaves the cell");
            const double dx = (minX + maxX) / 2.0 - (x0 + cw / 2), dy = (minY + maxY) / 2.0 - (y0 + ch / 2);
            if (std::abs(dx) > 2 || std::abs(dy) > 2)
                fail(name + " is not centred in its cell");
        }
    }
    return failures;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-n" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            dir = a;
    }
    const fs::path work = fs::temp_directory_path() / ("tessaria-arrangebench-" + std::to_string(getpid()));
    fs::create_directories(work);
    const std::vector<std::string> photos = BenchPhotos(dir, work, Count, MAKEPHOTOS);
    if (photos.empty())
        return 1;
    // Only these photos, for both programs.
    const fs::path chosen = work / "chosen";
    fs::create_directories(chosen);
    for (const std::string& p : photos)
        fs::create_symlink(p, chosen / fs::path(p).filename());

    // The cells of an A4 sheet less the default margins and bands (7.27 x
    // 9.79 in.), at 200 DPI, as the program lays them out.
    const double areaWidth = 210 / 25.4 - 1.0, areaHeight = 297 / 25.4 - 1.9;
    const double gap = GapMillimetres / 25.4 * Dpi;
    const int cellWidth = int(std::lround((areaWidth * Dpi - (Columns - 1) * gap) / Columns));
    const int cellHeight = int(std::lround((areaHeight * Dpi - (Rows - 1) * gap) / Rows));
    const int border = int(std::lround(gap / 2)); // montage's border is on every side of a tile
    const std::string geometry =
        std::to_string(cellWidth) + "x" + std::to_string(cellHeight) + "+" + std::to_string(border) + "+" + std::to_string(border);

    const std::string ours = (work / "ours.pdf").string();
    const std::string theirs = (work / "montage.png").string(); // montage-0.png ...
    const std::string config = (work / "config").string();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);

    std::vector<std::string> montage = {"montage"};
    montage.push_back("-define");
    montage.push_back("jpeg:size=" + std::to_string(2 * cellWidth) + "x" + std::to_string(2 * cellHeight));
    for (const std::string& p : photos)
        montage.push_back((chosen / fs::path(p).filename()).string());
    for (const char* a : {"-filter", "Lanczos", "-tile", "4x5", "-background", "white", "-density", "200", "-units",
                          "PixelsPerInch", "-geometry"})
        montage.push_back(a);
    montage.push_back(geometry);
    montage.push_back(theirs);

    std::vector<double> oursTime, oursPeak, peerTime, peerPeak;
    for (int r = 0; r < runs; ++r) {
        const TProcessRun a = RunProcess({TESSARIA_PROGRAM, "--arrange", "4x5", "--paper", "A4", "--dpi",
                                          std::to_string(Dpi), "--print-pdf", ours, chosen.string()});
        const TProcessRun b = RunProcess(montage, true);
        oursTime.push_back(a.Milliseconds / 1000);
        oursPeak.push_back(a.PeakKiB / 1024.0);
        peerTime.push_back(b.Milliseconds / 1000);
        peerPeak.push_back(b.PeakKiB / 1024.0);
        std::fprintf(stderr, "round %d: tessaria %.2f s %.0f MiB, montage %.2f s %.0f MiB\n", r + 1, a.Milliseconds / 1000,
                     a.PeakKiB / 1024.0, b.Milliseconds / 1000, b.PeakKiB / 1024.0);
    }
    std::printf("%d photos of 4000 x 3000, 4 x 5 per A4 sheet (cells %d x %d pixels, gap %.0f), %d DPI, Lanczos; "
                "%d rounds, medians\n",
                Count, cellWidth, cellHeight, gap, Dpi, runs);
    std::printf("tessaria --arrange --print-pdf  %7.2f s   peak %6.0f MiB   PDF %6.1f MiB\n", Summary(oursTime).Median,
                Summary(oursPeak).Median, double(fs::file_size(ours)) / (1024 * 1024));
    double pngBytes = 0;
    int pngPages = 0;
    for (const auto& e : fs::directory_iterator(work))
        if (e.path().filename().string().rfind("montage", 0) == 0) {
            pngBytes += double(e.file_size());
            ++pngPages;
        }
    std::printf("montage (jpeg:size hint)        %7.2f s   peak %6.0f MiB   PNG %6.1f MiB (%d pages)\n",
                Summary(peerTime).Median, Summary(peerPeak).Median, pngBytes / (1024 * 1024), pngPages);
    std::printf("ratios tessaria / montage: time %.2f, peak memory %.2f\n", Summary(oursTime).Median / Summary(peerTime).Median,
                Summary(oursPeak).Median / Summary(peerPeak).Median);
    const int failures =
        VerifySheets(ours, work, areaWidth, areaHeight, GapMillimetres / 25.4, cellWidth, cellHeight);
    std::printf("tessaria's sheets: %s\n", failures ? "FAILED the check (see above)"
                                                      : "5 pages, 100 pictures each inside and centred in its cell");
    fs::remove_all(work);
    return failures ? 1 : 0;
}
