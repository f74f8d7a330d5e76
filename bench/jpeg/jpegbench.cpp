// Times our full-size JPEG decode against djpeg on the same files, in one run,
// alternating them so that all see the same machine load.
//
//   bench_jpeg [-n RUNS] [FILE.jpg ...]
//
// Without files it writes its own with cjpeg (photograph-like pictures of 12
// and 24 megapixels, baseline and progressive, and a grey one). Timings per
// file: djpeg writing a PPM to /dev/null; tessaria-convert --info, the same
// decode as a process; and our decode in this process three ways: with the
// picture memory kept from the previous picture (as the program decodes one
// photo after another), with fresh memory advised to use huge pages (how
// every picture was decoded before), and with fresh memory without the
// advice. Medians, with the spread (min..max) as noise.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "common/runprocess.h"
#include "imageio/largebuffer.h"
#include "imageio/picture.h"

namespace {

using Clock = std::chrono::steady_clock;

// How the in-process decode gets its picture memory.
enum class TMemory { Reused, FreshAdvised, FreshPlain };

double DecodeInProcess(const std::string& file, TMemory memory)
{
    tessaria::SetLargeBufferReuse(memory == TMemory::Reused);
    tessaria::SetLargeBufferHugePageAdvice(memory != TMemory::FreshPlain);
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
        const std::string ppm12 = (temp / "photo12.ppm").string(), ppm24 = (temp / "photo24.ppm").string();
        WritePhotoLike(ppm12, 4000, 3000);
        WritePhotoLike(ppm24, 6000, 4000);
        const std::tuple<const char*, const std::string*, const char*> made[] = {
            {"baseline-12mp.jpg", &ppm12, "-quality 90"},
            {"progressive-12mp.jpg", &ppm12, "-quality 90 -progressive"},
            {"grey-12mp.jpg", &ppm12, "-quality 90 -grayscale"},
            {"baseline-24mp.jpg", &ppm24, "-quality 90"},
            {"progressive-24mp.jpg", &ppm24, "-quality 90 -progressive"},
        };
        for (const auto& [name, ppm, options] : made) {
            const std::string file = (temp / name).string();
            const std::string command = std::string("cjpeg ") + options + " " + *ppm + " > " + file;
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "cjpeg failed (is libjpeg-turbo-progs installed?)\n");
                return 1;
            }
            files.push_back(file);
        }
        std::filesystem::remove(ppm12);
        std::filesystem::remove(ppm24);
    }

    std::printf("%-22s %22s %22s %22s %22s %22s %7s %7s %7s\n", "file", "djpeg ms", "tessaria-convert ms",
                "in-process, kept ms", "fresh+huge pages ms", "fresh, plain ms", "process", "in-proc", "before");
    bool withinBudget = true;
    for (const std::string& file : files) {
        std::vector<double> djpeg, ours, kept, advised, plain;
        // One warm-up of each, untimed: the file in the page cache for all,
        // and a kept block there for the in-process decode.
        tessaria::bench::RunProcess({"djpeg", "-outfile", "/dev/null", file}, true);
        tessaria::bench::RunProcess({TESSARIA_CONVERT, "--info", file}, true);
        DecodeInProcess(file, TMemory::Reused);
        for (int r = 0; r < runs; ++r) {
            djpeg.push_back(tessaria::bench::RunProcess({"djpeg", "-outfile", "/dev/null", file}, true).Milliseconds);
            ours.push_back(tessaria::bench::RunProcess({TESSARIA_CONVERT, "--info", file}, true).Milliseconds);
            advised.push_back(DecodeInProcess(file, TMemory::FreshAdvised));
            plain.push_back(DecodeInProcess(file, TMemory::FreshPlain));
            DecodeInProcess(file, TMemory::Reused); // puts a block back among the kept ones
            kept.push_back(DecodeInProcess(file, TMemory::Reused));
        }
        const Stats d = Summary(djpeg), o = Summary(ours), k = Summary(kept), a = Summary(advised), p = Summary(plain);
        const double ratio = k.median / d.median;
        withinBudget = withinBudget && ratio <= 1.05;
        auto cell = [](const Stats& s) {
            char text[64];
            std::snprintf(text, sizeof text, "%.1f (%.1f..%.1f)", s.median, s.min, s.max);
            return std::string(text);
        };
        std::printf("%-22s %22s %22s %22s %22s %22s %7.3f %7.3f %7.3f\n", std::filesystem::path(file).filename().c_str(),
                    cell(d).c_str(), cell(o).c_str(), cell(k).c_str(), cell(a).c_str(), cell(p).c_str(),
                    o.median / d.median, ratio, a.median / d.median);
    }
    std::printf("%d runs each, medians (min..max). process = tessaria-convert / djpeg; in-proc = in-process decode\n"
                "with kept memory / djpeg (budget 1.05): %s; before = in-process with fresh huge-page memory / djpeg\n",
                runs, withinBudget ? "within budget" : "OVER BUDGET");
    if (!temp.empty())
        std::filesystem::remove_all(temp);
    return withinBudget ? 0 : 2;
}
