// Times `tessaria --print-pdf` on a 10-page layout of 40 photos of 4000 x 3000
// (every fifth one 3000 x 4000) at the default 200 DPI and Lanczos3, and
// ImageMagick's convert decoding the same photos and resampling each to the
// same pixels with its Lanczos filter, in one run, taking turns. Reports the
// medians of wall time and of peak resident memory (the largest single
// convert for the peer), and the ratios.
//
//   bench_printing [-n RUNS] [DIR]
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
#include "document/document.h"
#include "document/documentwriter.h"

using namespace tessaria;
using tessaria::bench::RunProcess;
namespace fs = std::filesystem;

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

// Page surface of US Letter with the default margins (7.5 x 9.1 in. printable)
// and 44 page pixels per inch, as the program computes it.
constexpr int PageWidth = 330, PageHeight = 400, LayoutPPI = 44, Dpi = 200;

struct TPlaced {
    std::string File;
    int Width, Height; // box, page pixels
};

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
    const fs::path work = fs::temp_directory_path() / ("tessaria-printbench-" + std::to_string(getpid()));
    fs::create_directories(work);
    if (dir.empty()) {
        dir = (work / "photos").string();
        std::fprintf(stderr, "writing 40 photos of 4000 x 3000 into %s ...\n", dir.c_str());
        RunProcess({"sh", MAKEPHOTOS, dir, "40"});
    }

    std::vector<std::string> photos;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".jpg")
            photos.push_back(e.path().string());
    std::sort(photos.begin(), photos.end());
    if (photos.size() < 40) {
        std::fprintf(stderr, "%s holds %zu photos, 40 wanted\n", dir.c_str(), photos.size());
        return 1;
    }
    photos.resize(40);

    // Four boxes a page in a 2 x 2 grid; portrait photos get portrait boxes.
    TDocument document;
    std::vector<TPlaced> placed;
    for (int p = 0; p < 10; ++p) {
        TDocumentPage page;
        page.Width = PageWidth;
        page.Height = PageHeight;
        for (int k = 0; k < 4; ++k) {
            const int n = p * 4 + k;
            const bool portrait = (n + 1) % 5 == 0;
            TDocumentBox box;
            box.Width = portrait ? 120 : 160;
            box.Height = portrait ? 160 : 120;
            box.Left = (k % 2) * 165;
            box.Top = (k / 2) * 170;
            box.CanvasPPI = LayoutPPI;
            box.FontName = "Arial";
            box.FontSize = 10;
            box.FileName = photos[size_t(n)];
            page.Boxes.push_back(box);
            placed.push_back({box.FileName, box.Width, box.Height});
        }
        document.Pages.push_back(page);
    }
    const std::string layout = (work / "bench.tsd").string();
    const std::string pdf = (work / "bench.pdf").string();
    SaveDocument(document, layout);
    const std::string config = (work / "config").string();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);

    std::vector<double> oursTime, oursPeak, peerTime, peerPeak;
    for (int r = 0; r < runs; ++r) {
        const bench::TProcessRun ours = RunProcess({TESSARIA_PROGRAM, "--print-pdf", pdf, layout});
        oursTime.push_back(ours.Milliseconds / 1000);
        oursPeak.push_back(ours.PeakKiB / 1024.0);
        double seconds = 0, peak = 0;
        for (const TPlaced& p : placed) {
            const int w = int(std::lround(double(p.Width) / LayoutPPI * Dpi));
            const int h = int(std::lround(double(p.Height) / LayoutPPI * Dpi));
            const bench::TProcessRun run = RunProcess({"convert", p.File, "-filter", "Lanczos", "-resize",
                                         std::to_string(w) + "x" + std::to_string(h) + "!", (work / "out.ppm").string()});
            seconds += run.Milliseconds / 1000;
            peak = std::max(peak, run.PeakKiB / 1024.0);
        }
        peerTime.push_back(seconds);
        peerPeak.push_back(peak);
        std::fprintf(stderr, "round %d: tessaria %.2f s %.0f MiB, convert %.2f s %.0f MiB\n", r + 1, ours.Milliseconds / 1000,
                     ours.PeakKiB / 1024.0, seconds, peak);
    }
    const double full = 4000.0 * 3000 * 3 / (1024 * 1024);
    std::printf("10 pages, 40 photos of 4000 x 3000, 200 DPI, Lanczos3; %d rounds, medians\n", runs);
    std::printf("tessaria --print-pdf      %7.2f s   peak %6.0f MiB\n", Median(oursTime), Median(oursPeak));
    std::printf("convert, 40 runs in turn  %7.2f s   peak %6.0f MiB (largest single run)\n", Median(peerTime),
                Median(peerPeak));
    std::printf("time ratio tessaria / convert: %.2f\n", Median(oursTime) / Median(peerTime));
    std::printf("one full picture at 24 bits: %.0f MiB; PDF %.1f MiB\n", full,
                double(fs::file_size(pdf)) / (1024 * 1024));
    fs::remove_all(work);
    return 0;
}
