// Times our full-size JPEG decode against djpeg on the same files, in one run,
// alternating the two so that both see the same machine load.
//
//   bench_jpeg [-n RUNS] [FILE.jpg ...]
//
// Without files it writes its own with cjpeg (a 12-megapixel photograph-like
// picture, baseline and progressive, and a grey one). Three timings per file:
// djpeg writing a PPM to /dev/null; tessaria-convert --info, the same
// decode as a process; and our decode in this process. The ratio that counts
// is process against process; medians, with the spread (min..max) as noise.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/runprocess.h"
#include "imageio/picture.h"

namespace {

using Clock = std::chrono::steady_clock;

double DecodeInProcess(const std::string& file)
{
    const auto start = Clock::now();
    const tessaria::TBitmap bitmap = tessaria::LoadBitmapFromFile(file);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (bitmap.Width() == 0)
        std::exit(1);
    return ms;
}

struct Stats {
    double median, min, max;
};

Stats Summary(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    return {median, v.front(), v.back()};
}

// A picture with smooth areas, edges and fine texture, like a photograph.
void WritePhotoLike(const std::string& path, int w, int h)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << w << " " << h << "\n255\n";
    std::vector<unsigned char> row(size_t(w) * 3);
    uint32_t noise = 12345;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int n = int(noise >> 28) - 8;
            const double fx = double(x) / w, fy = double(y) / h;
            const int r = int(128 + 100 * std::sin(fx * 9 + fy * 3)) + n;
            const int g = int(128 + 90 * std::cos(fy * 7 - fx * 2)) + n;
            const int b = ((x / 64 + y / 64) % 2 ? 180 : 60) + n;
            row[size_t(x) * 3] = (unsigned char)std::clamp(r, 0, 255);
            row[size_t(x) * 3 + 1] = (unsigned char)std::clamp(g, 0, 255);
            row[size_t(x) * 3 + 2] = (unsigned char)std::clamp(b, 0, 255);
        }
        out.write(reinterpret_cast<const char*>(row.data()), std::streamsize(row.size()));
    }
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 9;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-n" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            files.push_back(a);
    }
    std::filesystem::path temp;
    if (files.empty()) {
        temp = std::filesystem::temp_directory_path() / ("tessaria-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(temp);
        const std::string ppm = (temp / "photo.ppm").string();
        WritePhotoLike(ppm, 4000, 3000);
        const std::pair<const char*, const char*> made[] = {
            {"baseline-12mp.jpg", "-quality 90"},
            {"progressive-12mp.jpg", "-quality 90 -progressive"},
            {"grey-12mp.jpg", "-quality 90 -grayscale"},
        };
        for (const auto& [name, options] : made) {
            const std::string file = (temp / name).string();
            const std::string command = std::string("cjpeg ") + options + " " + ppm + " > " + file;
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "cjpeg failed (is libjpeg-turbo-progs installed?)\n");
                return 1;
            }
            files.push_back(file);
        }
        std::filesystem::remove(ppm);
    }

    std::printf("%-24s %27s %27s %27s %7s %7s\n", "file", "djpeg ms (min..max)", "tessaria-convert ms",
                "in-process ms", "ratio", "in-proc");
    bool withinBudget = true;
    for (const std::string& file : files) {
        std::vector<double> djpeg, ours, inProcess;
        // One warm-up of each, untimed: the file in the page cache for all.
        tessaria::bench::RunProcess({"djpeg", "-outfile", "/dev/null", file}, true);
        tessaria::bench::RunProcess({TESSARIA_CONVERT, "--info", file}, true);
        for (int r = 0; r < runs; ++r) {
            djpeg.push_back(tessaria::bench::RunProcess({"djpeg", "-outfile", "/dev/null", file}, true).Milliseconds);
            ours.push_back(tessaria::bench::RunProcess({TESSARIA_CONVERT, "--info", file}, true).Milliseconds);
            inProcess.push_back(DecodeInProcess(file));
        }
        const Stats d = Summary(djpeg), o = Summary(ours), p = Summary(inProcess);
        const double ratio = o.median / d.median;
        withinBudget = withinBudget && ratio <= 1.1;
        char ds[64], os[64], ps[64];
        std::snprintf(ds, sizeof ds, "%.1f (%.1f..%.1f)", d.median, d.min, d.max);
        std::snprintf(os, sizeof os, "%.1f (%.1f..%.1f)", o.median, o.min, o.max);
        std::snprintf(ps, sizeof ps, "%.1f (%.1f..%.1f)", p.median, p.min, p.max);
        std::printf("%-24s %27s %27s %27s %7.3f %7.3f\n", std::filesystem::path(file).filename().c_str(), ds, os, ps,
                    ratio, p.median / d.median);
    }
    std::printf("%d runs each; ratio = tessaria-convert median / djpeg median (budget 1.1): %s\n", runs,
                withinBudget ? "within budget" : "OVER BUDGET");
    if (!temp.empty())
        std::filesystem::remove_all(temp);
    return withinBudget ? 0 : 2;
}
