// Drops a JPEG of 16000 x 16000 (768 MB as a picture) onto the page of the
// main window, shown on the offscreen platform, as a file dragged from the
// desktop: the peak resident memory above the window's resting level before
// the drop, and the drop's time. No peer: the budget is one picture above
// the resting level.
//
//   bench_dropping [-n RUNS] [FILE.jpg]
//   bench_dropping --write FILE.jpg     (writes the picture it would use)
//
// Without a file it writes one (libjpeg, row by row, a few seconds). Each
// run is a process of its own, so that each starts from the same level.
#include <QApplication>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <sys/resource.h>
#include <unistd.h>

#include "app/forms.h"
#include "app/utessaria.h"
#include "common/runprocess.h"
#include "layout/canvaspanel.h"
#include "common/offscreenwindow.h"
#include "platform/scripteddialogs.h"

using namespace tessaria;
namespace fs = std::filesystem;

namespace {

void WriteBigJpeg(const std::string& path, int side)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        std::exit(1);
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(side);
    info.image_height = JDIMENSION(side);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(side) * 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            row[size_t(x) * 3] = JSAMPLE(128 + 100 * std::sin(x * 0.002 + y * 0.001));
            row[size_t(x) * 3 + 1] = JSAMPLE((x / 500 + y / 500) % 2 ? 200 : 50);
            row[size_t(x) * 3 + 2] = JSAMPLE((x ^ y) & 0xFF);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
}

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One drop in this process: prints "resting-KiB peak-KiB milliseconds".
int DropOnce(int argc, char** argv, const std::string& file)
{
    bench::TOffscreenProgram program(argc, argv);
    TScriptedDialogs* dialogs = program.Dialogs;
    TfrmTessaria window;
    CreateStartupForms();
    window.show();
    QApplication::processEvents();
    if (!window.CurrentPage)
        window.tbNewPageClick();
    QApplication::processEvents();
    const long resting = ResidentKiB();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
    const auto start = std::chrono::steady_clock::now();
    window.PnlWhiteDragDrop(window.CurrentPage, &data, QPoint(10, 10));
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const long peak = PeakKiB();
    const bool placed = window.CountBoxes() == 1;
    DestroyStartupForms();
    if (!placed || !dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty()) {
        std::fprintf(stderr, "the drop placed nothing: %s\n", dialogs->AllTexts().join('\n').toStdString().c_str());
        return 1;
    }
    std::printf("%ld %ld %.0f\n", resting, peak, ms);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--once")
        return DropOnce(argc, argv, argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--write") {
        WriteBigJpeg(argv[2], 16000);
        return 0;
    }
    int runs = 3;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-n" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            file = a;
    }
    const fs::path work = fs::temp_directory_path() / ("tessaria-dropbench-" + std::to_string(getpid()));
    fs::create_directories(work);
    if (file.empty()) {
        file = (work / "big.jpg").string();
        std::fprintf(stderr, "writing a 16000 x 16000 JPEG into %s ...\n", file.c_str());
        WriteBigJpeg(file, 16000);
    }
    setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
    std::vector<double> above, times;
    for (int r = 0; r < runs; ++r) {
        const bench::TProcessRun run = bench::RunProcess({argv[0], "--once", file}, true, false, true);
        long resting = 0, peak = 0;
        double ms = 0;
        if (std::sscanf(run.Output.c_str(), "%ld %ld %lf", &resting, &peak, &ms) != 3)
            return 1;
        above.push_back((peak - resting) / 1024.0);
        times.push_back(ms / 1000);
        std::fprintf(stderr, "round %d: resting %.0f MiB, peak %.0f MiB, %.2f s\n", r + 1, resting / 1024.0,
                     peak / 1024.0, ms / 1000);
    }
    std::sort(above.begin(), above.end());
    std::sort(times.begin(), times.end());
    std::printf("Drop of a 16000 x 16000 JPEG (the picture: %.0f MiB); %d runs, medians (min..max)\n",
                16000.0 * 16000 * 3 / (1024 * 1024), runs);
    std::printf("peak above the resting level: %.0f MiB (%.0f..%.0f); time %.2f s (%.2f..%.2f)\n",
                above[above.size() / 2], above.front(), above.back(), times[times.size() / 2], times.front(),
                times.back());
    fs::remove_all(work);
    return 0;
}
