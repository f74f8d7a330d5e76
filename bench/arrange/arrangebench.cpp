// Times `tessaria --arrange 4x5 --paper A4 --print-pdf` on 100 photos of
// 4000 x 3000 (every fifth one 3000 x 4000): five A4 sheets of 20 pictures at
// the default 200 DPI and Lanczos3. The peer is ImageMagick's montage making
// the same five sheets: 4 x 5 tiles of the same cell size and gap in pixels
// at 200 DPI, each photo fitted into its tile with the Lanczos filter,
// written as a PDF. Both run in turn in one process; the medians of wall
// time and peak resident memory are reported with their ratios.
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

using tessaria::bench::RunProcess;
using tessaria::bench::TProcessRun;
namespace fs = std::filesystem;

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

constexpr int Count = 100, Columns = 4, Rows = 5, Dpi = 200;
constexpr double GapMillimetres = 4;

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
    if (dir.empty()) {
        dir = (work / "photos").string();
        std::fprintf(stderr, "writing %d photos of 4000 x 3000 into %s ...\n", Count, dir.c_str());
        RunProcess({"sh", MAKEPHOTOS, dir, std::to_string(Count)});
    }
    std::vector<std::string> photos;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".jpg")
            photos.push_back(e.path().string());
    std::sort(photos.begin(), photos.end());
    if (int(photos.size()) < Count) {
        std::fprintf(stderr, "%s holds %zu photos, %d wanted\n", dir.c_str(), photos.size(), Count);
        return 1;
    }
    photos.resize(Count);
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
    const std::string theirs = (work / "montage.pdf").string();
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
    std::printf("tessaria --arrange --print-pdf  %7.2f s   peak %6.0f MiB   PDF %6.1f MiB\n", Median(oursTime),
                Median(oursPeak), double(fs::file_size(ours)) / (1024 * 1024));
    std::printf("montage (jpeg:size hint)        %7.2f s   peak %6.0f MiB   PDF %6.1f MiB\n", Median(peerTime),
                Median(peerPeak), double(fs::file_size(theirs)) / (1024 * 1024));
    std::printf("ratios tessaria / montage: time %.2f, peak memory %.2f\n", Median(oursTime) / Median(peerTime),
                Median(oursPeak) / Median(peerPeak));
    fs::remove_all(work);
    return 0;
}
