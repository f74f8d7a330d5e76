// Opening a 40-page layout of 160 photos of 4000 x 3000 (every fifth one
// 3000 x 4000) in the main window, against a Pillow script making the same
// 160 screen copies with shrink-on-load, in one run, taking turns. Our time
// is the opening itself (bench_open prints it; the window shown offscreen,
// the message loop running between boxes); the peer's its loop over the
// pictures. Medians with their ranges, the ratio, and our peak memory.
//
//   bench_opening [-n RUNS] [--program BENCH_OPEN] [DIR]
//
// Without DIR the photos are written into a temporary folder first (a few
// minutes); DIR needs 160 of them. Another --program (an older build) gives
// the figures to compare with.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/runprocess.h"
#include "common/benchphotos.h"
#include "common/summary.h"
#include "document/document.h"
#include "document/documentwriter.h"

using namespace tessaria;
using tessaria::bench::BenchPhotos;
using tessaria::bench::Summary;
using tessaria::bench::TStats;
using tessaria::bench::RunProcess;
namespace fs = std::filesystem;

namespace {

// Debian's Python, which has Pillow (python3-pil), whatever else is first on the path.
std::string Python()
{
    return fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    std::string dir, program = OPEN_PROGRAM;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-n" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--program" && i + 1 < argc)
            program = argv[++i];
        else
            dir = a;
    }
    const fs::path work = fs::temp_directory_path() / ("tessaria-openbench-" + std::to_string(getpid()));
    fs::create_directories(work);
    const std::vector<std::string> photos = BenchPhotos(dir, work, 160, MAKEPHOTOS);
    if (photos.empty())
        return 1;

    // Forty pages of four boxes, as the printing benchmark lays them out.
    TDocument document;
    std::ofstream listing(work / "pictures.txt");
    for (int p = 0; p < 40; ++p) {
        TDocumentPage page;
        page.Width = 330;
        page.Height = 400;
        for (int k = 0; k < 4; ++k) {
            const int n = p * 4 + k;
            const bool portrait = (n + 1) % 5 == 0;
            TDocumentBox box;
            box.Width = portrait ? 120 : 160;
            box.Height = portrait ? 160 : 120;
            box.Left = (k % 2) * 165;
            box.Top = (k / 2) * 170;
            box.CanvasPPI = 44;
            box.FontName = "Arial";
            box.FontSize = 10;
            box.FileName = photos[size_t(n)];
            page.Boxes.push_back(box);
            listing << box.Rotation << ' ' << box.FileName << '\n';
        }
        document.Pages.push_back(page);
    }
    listing.close();
    const std::string layout = (work / "layout.tsd").string();
    SaveDocument(document, layout);
    setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);

    std::vector<double> ours, oursPeak, peer;
    for (int r = 0; r < runs; ++r) {
        const bench::TProcessRun open = RunProcess({program, layout}, true, false, true);
        ours.push_back(std::atof(open.Output.c_str()) / 1000);
        oursPeak.push_back(open.PeakKiB / 1024.0);
        const bench::TProcessRun pillow =
            RunProcess({Python(), PILLOW_SCRIPT, (work / "pictures.txt").string()}, true, false, true);
        peer.push_back(std::atof(pillow.Output.c_str()) / 1000);
        std::fprintf(stderr, "round %d: tessaria %.2f s (%.0f MiB), Pillow %.2f s\n", r + 1, ours.back(),
                     oursPeak.back(), peer.back());
    }
    const TStats o = Summary(ours), p = Summary(peer), m = Summary(oursPeak);
    std::printf("Opening 40 pages of 160 photos of 4000 x 3000; %d rounds, medians (min..max)\n", runs);
    std::printf("tessaria, the window's opening  %6.2f s (%.2f..%.2f)   peak %4.0f MiB (%.0f..%.0f)\n", o.Median,
                o.Min, o.Max, m.Median, m.Min, m.Max);
    std::printf("Pillow, shrink-on-load          %6.2f s (%.2f..%.2f)\n", p.Median, p.Min, p.Max);
    std::printf("time ratio tessaria / Pillow: %.2f\n", o.Median / p.Median);
    fs::remove_all(work);
    return 0;
}
