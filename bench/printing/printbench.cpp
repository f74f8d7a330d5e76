// Times `tessaria --print-pdf` on layouts of 1, 10, 40 and 80 pages of photos
// of 4000 x 3000 (every fifth one 3000 x 4000; four to a page, 40 photos in
// turn) at the default 200 DPI and Lanczos3: wall time and peak resident
// memory. The 10-page layout also runs on one core (taskset -c 0), and the
// two PDFs must be the same bytes but for their creation date. In the same
// run, taking turns: ImageMagick's convert decoding the 40 photos of the
// 10-page layout and resampling each to the same pixels with its Lanczos
// filter, and a preview of the 80 pages paged through (bench_preview).
// Medians with their ranges, and the ratios. The CPU time of the 10-page runs
// (all threads, user and system) beside their wall time shows how much of two
// cores a run had, which on a busy machine says more than the wall time.
//
//   bench_printing [-n RUNS] [--program TESSARIA] [--preview BENCH_PREVIEW]
//                  [--before TESSARIA --before-preview BENCH_PREVIEW] [--no-peer] [DIR]
//
// Without DIR the photos are written into a temporary folder first. Another
// --program (an older build) gives the figures to compare with; --before runs
// an older build's jobs too, in turns with ours in every round.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
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

std::string Cell(const TStats& s, const char* format)
{
    char text[96];
    std::string f = std::string(format) + " (" + format + ".." + format + ")";
    std::snprintf(text, sizeof text, f.c_str(), s.Median, s.Min, s.Max);
    return text;
}

// Page surface of US Letter with the default margins (7.5 x 9.1 in. printable)
// and 44 page pixels per inch, as the program computes it.
constexpr int PageWidth = 330, PageHeight = 400, LayoutPPI = 44, Dpi = 200;

struct TPlaced {
    std::string File;
    int Width, Height; // box, page pixels
};

// Four boxes a page in a 2 x 2 grid; portrait photos get portrait boxes.
std::vector<TPlaced> WriteLayout(const std::vector<std::string>& photos, int pages, const std::string& path)
{
    TDocument document;
    std::vector<TPlaced> placed;
    for (int p = 0; p < pages; ++p) {
        TDocumentPage page;
        page.Width = PageWidth;
        page.Height = PageHeight;
        for (int k = 0; k < 4; ++k) {
            const int n = (p * 4 + k) % int(photos.size());
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
    SaveDocument(document, path);
    return placed;
}

// A PDF's bytes without its creation date, the one thing that differs between runs.
std::string WithoutDate(const std::string& pdf)
{
    std::ifstream in(pdf, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t at = bytes.find("/CreationDate");
    if (at != std::string::npos)
        bytes.erase(at, bytes.find(')', at) - at);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    bool peer = true;
    std::string dir, program = TESSARIA_PROGRAM, preview = PREVIEW_PROGRAM, before, beforePreview;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-n" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--program" && i + 1 < argc)
            program = argv[++i];
        else if (a == "--preview" && i + 1 < argc)
            preview = argv[++i];
        else if (a == "--before" && i + 1 < argc)
            before = argv[++i];
        else if (a == "--before-preview" && i + 1 < argc)
            beforePreview = argv[++i];
        else if (a == "--no-peer")
            peer = false;
        else
            dir = a;
    }
    const fs::path work = fs::temp_directory_path() / ("tessaria-printbench-" + std::to_string(getpid()));
    fs::create_directories(work);
    const std::vector<std::string> photos = BenchPhotos(dir, work, 40, MAKEPHOTOS);
    if (photos.empty())
        return 1;

    const int pageCounts[] = {1, 10, 40, 80};
    std::map<int, std::string> layouts;
    std::vector<TPlaced> tenPages;
    for (int pages : pageCounts) {
        layouts[pages] = (work / ("pages" + std::to_string(pages) + ".tsd")).string();
        const std::vector<TPlaced> placed = WriteLayout(photos, pages, layouts[pages]);
        if (pages == 10)
            tenPages = placed;
    }
    const std::string config = (work / "config").string();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const std::string pdf = (work / "out.pdf").string(), onePdf = (work / "one.pdf").string();

    struct TBuild {
        std::string Label, Program, Preview;
        std::map<int, std::vector<double>> Time, Peak;
        std::vector<double> OneTime, OnePeak, TenCpu, OneCpu, PreviewTime, PreviewPeak;
        bool SameBytes = true;
        double PdfMiB = 0;
    };
    std::vector<TBuild> builds(before.empty() ? 1 : 2);
    builds[0].Label = "now", builds[0].Program = program, builds[0].Preview = preview;
    if (!before.empty())
        builds[1].Label = "before", builds[1].Program = before, builds[1].Preview = beforePreview;

    std::vector<double> peerTime, peerPeak;
    for (int r = 0; r < runs; ++r) {
        for (int pages : pageCounts) {
            for (TBuild& b : builds) {
                const bench::TProcessRun run = RunProcess({b.Program, "--print-pdf", pdf, layouts[pages]}, true);
                b.Time[pages].push_back(run.Milliseconds / 1000);
                b.Peak[pages].push_back(run.PeakKiB / 1024.0);
                std::fprintf(stderr, "round %d, %s: %d pages %.2f s (CPU %.2f s) %.0f MiB\n", r + 1, b.Label.c_str(),
                             pages, run.Milliseconds / 1000, run.CpuMilliseconds / 1000, run.PeakKiB / 1024.0);
                if (pages != 10)
                    continue;
                b.TenCpu.push_back(run.CpuMilliseconds / 1000);
                b.PdfMiB = double(fs::file_size(pdf)) / (1024 * 1024);
                const bench::TProcessRun one =
                    RunProcess({"taskset", "-c", "0", b.Program, "--print-pdf", onePdf, layouts[pages]}, true);
                b.OneTime.push_back(one.Milliseconds / 1000);
                b.OnePeak.push_back(one.PeakKiB / 1024.0);
                b.OneCpu.push_back(one.CpuMilliseconds / 1000);
                b.SameBytes = b.SameBytes && WithoutDate(pdf) == WithoutDate(onePdf);
                std::fprintf(stderr, "round %d, %s: 10 pages on one core %.2f s (CPU %.2f s)\n", r + 1,
                             b.Label.c_str(), one.Milliseconds / 1000, one.CpuMilliseconds / 1000);
            }
        }
        if (peer) {
            double seconds = 0, most = 0;
            for (const TPlaced& p : tenPages) {
                const int w = int(std::lround(double(p.Width) / LayoutPPI * Dpi));
                const int h = int(std::lround(double(p.Height) / LayoutPPI * Dpi));
                const bench::TProcessRun run =
                    RunProcess({"convert", p.File, "-filter", "Lanczos", "-resize",
                                std::to_string(w) + "x" + std::to_string(h) + "!", (work / "out.ppm").string()});
                seconds += run.Milliseconds / 1000;
                most = std::max(most, run.PeakKiB / 1024.0);
            }
            peerTime.push_back(seconds);
            peerPeak.push_back(most);
            std::fprintf(stderr, "round %d: convert, 40 runs %.2f s\n", r + 1, seconds);
        }
        for (TBuild& b : builds) {
            if (b.Preview.empty() || !fs::exists(b.Preview))
                continue;
            const bench::TProcessRun run = RunProcess({b.Preview, layouts[80]}, true);
            b.PreviewTime.push_back(run.Milliseconds / 1000);
            b.PreviewPeak.push_back(run.PeakKiB / 1024.0);
            std::fprintf(stderr, "round %d, %s: preview of 80 pages %.2f s %.0f MiB\n", r + 1, b.Label.c_str(),
                         run.Milliseconds / 1000, run.PeakKiB / 1024.0);
        }
    }

    std::printf("Photos of 4000 x 3000, four a page, 200 DPI, Lanczos3; %d rounds, medians (min..max)\n", runs);
    bool sameBytes = true;
    for (const TBuild& b : builds) {
        std::printf("\n%s: %s\n", b.Label.c_str(), b.Program.c_str());
        std::printf("%-36s %26s %10s %26s\n", "", "seconds", "s / page", "peak MiB");
        for (int pages : pageCounts) {
            const TStats t = Summary(b.Time.at(pages));
            char label[64];
            std::snprintf(label, sizeof label, "--print-pdf, %d page%s", pages, pages == 1 ? "" : "s");
            std::printf("%-36s %26s %10.3f %26s\n", label, Cell(t, "%.2f").c_str(), t.Median / pages,
                        Cell(Summary(b.Peak.at(pages)), "%.0f").c_str());
        }
        const TStats one = Summary(b.OneTime);
        std::printf("%-36s %26s %10.3f %26s\n", "--print-pdf, 10 pages, one core", Cell(one, "%.2f").c_str(),
                    one.Median / 10, Cell(Summary(b.OnePeak), "%.0f").c_str());
        std::printf("%-36s %26s\n", "CPU seconds, 10 pages", Cell(Summary(b.TenCpu), "%.2f").c_str());
        std::printf("%-36s %26s\n", "CPU seconds, 10 pages, one core", Cell(Summary(b.OneCpu), "%.2f").c_str());
        if (!b.PreviewTime.empty())
            std::printf("%-36s %26s %10.3f %26s\n", "preview of 80 pages, paged through",
                        Cell(Summary(b.PreviewTime), "%.2f").c_str(), Summary(b.PreviewTime).Median / 80,
                        Cell(Summary(b.PreviewPeak), "%.0f").c_str());
        const double t10 = Summary(b.Time.at(10)).Median;
        std::printf("peak memory 80 pages / 10 pages: %.2f\n",
                    Summary(b.Peak.at(80)).Median / Summary(b.Peak.at(10)).Median);
        std::printf("10 pages, one core / two cores: %.2f; same bytes but the date: %s\n", one.Median / t10,
                    b.SameBytes ? "yes" : "NO");
        std::printf("10 pages on two cores, CPU time / wall time: %.2f\n", Summary(b.TenCpu).Median / t10);
        if (peer)
            std::printf("time ratio tessaria / convert (10 pages): %.2f\n", t10 / Summary(peerTime).Median);
        std::printf("PDF of 10 pages: %.1f MiB\n", b.PdfMiB);
        sameBytes = sameBytes && b.SameBytes;
    }
    if (peer)
        std::printf("\n%-36s %26s %10.3f %26s\n", "convert, 40 runs (10 pages' photos)",
                    Cell(Summary(peerTime), "%.2f").c_str(), Summary(peerTime).Median / 10,
                    Cell(Summary(peerPeak), "%.0f").c_str());
    if (builds.size() == 2)
        std::printf("now / before, 10 pages: time %.2f, peak memory %.2f; 80 pages: time %.2f, peak memory %.2f\n",
                    Summary(builds[0].Time.at(10)).Median / Summary(builds[1].Time.at(10)).Median,
                    Summary(builds[0].Peak.at(10)).Median / Summary(builds[1].Peak.at(10)).Median,
                    Summary(builds[0].Time.at(80)).Median / Summary(builds[1].Time.at(80)).Median,
                    Summary(builds[0].Peak.at(80)).Median / Summary(builds[1].Peak.at(80)).Median);
    fs::remove_all(work);
    return sameBytes ? 0 : 2;
}
