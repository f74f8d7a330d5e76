// Times the resampler on generated 24-bit pictures, and writes the same
// pictures as PPM files so that Pillow and libvips can be timed on them.
//
//   tessaria_bench_resample --write DIR
//   tessaria_bench_resample --case NAME --threads N [--runs R] [--kernels plain|avx2|avx512]
//
// Each run prints one line: case, threads, kernels, then the milliseconds of
// every run.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "print/core/resample.h"

using namespace tessaria;

namespace {

struct TCase {
    const char* Name;
    int SourceWidth, SourceHeight, Width, Height, Filter;
};

const TCase Cases[] = {
    {"lanczos3-down", 6000, 4000, 1500, 1000, 5},
    {"box-thumb", 6000, 4000, 196, 131, 0},
    {"lanczos3-up", 640, 480, 1600, 1200, 5},
    {"mitchell-down", 6000, 4000, 1500, 1000, 6},
    {"spline-down", 6000, 4000, 1500, 1000, 4},
};

// A photograph-like mix: smooth gradients, a few hard edges and some noise,
// the same for every run and every tool.
TBitmap Picture(int w, int h)
{
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf24bit);
    b.SetSize(w, h);
    uint32_t seed = 12345;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = b.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 28) - 8;
            const bool edge = ((x / 97) + (y / 89)) % 2 == 0;
            const int base[3] = {x * 255 / w, y * 255 / h, edge ? 230 : 25};
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = uint8_t(std::min(255, std::max(0, base[c] + noise)));
        }
    }
    return b;
}

void WritePpm(const TBitmap& b, const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fprintf(f, "P6\n%d %d\n255\n", b.Width(), b.Height());
    std::vector<uint8_t> rgb(3 * size_t(b.Width()));
    for (int y = 0; y < b.Height(); ++y) {
        const uint8_t* row = b.ScanLine(y);
        for (int x = 0; x < b.Width(); ++x) {
            rgb[3 * size_t(x)] = row[3 * x + 2];
            rgb[3 * size_t(x) + 1] = row[3 * x + 1];
            rgb[3 * size_t(x) + 2] = row[3 * x];
        }
        std::fwrite(rgb.data(), 1, rgb.size(), f);
    }
    std::fclose(f);
}

} // namespace

int main(int argc, char** argv)
{
    std::string caseName, writeDir, kernels = "auto";
    int threads = 1, runs = 9;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--case")
            caseName = value;
        else if (key == "--threads")
            threads = std::atoi(value.c_str());
        else if (key == "--runs")
            runs = std::atoi(value.c_str());
        else if (key == "--write")
            writeDir = value;
        else if (key == "--kernels")
            kernels = value;
    }
    if (!writeDir.empty()) {
        WritePpm(Picture(6000, 4000), writeDir + "/6000x4000.ppm");
        WritePpm(Picture(640, 480), writeDir + "/640x480.ppm");
        return 0;
    }
    const TCase* chosen = nullptr;
    for (const TCase& c : Cases)
        if (caseName == c.Name)
            chosen = &c;
    if (!chosen) {
        std::fprintf(stderr, "unknown case '%s'\n", caseName.c_str());
        return 2;
    }
    SetResampleThreads(threads);
    if (kernels == "plain")
        SetResampleKernels(TResampleKernels::Plain);
    else if (kernels == "avx2")
        SetResampleKernels(TResampleKernels::Avx2);
    else if (kernels == "avx512")
        SetResampleKernels(TResampleKernels::Avx512);

    const TBitmap source = Picture(chosen->SourceWidth, chosen->SourceHeight);
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf24bit);
    target.SetSize(chosen->Width, chosen->Height);
    std::printf("%s %d %s", chosen->Name, threads, ResampleKernelsName(ActiveResampleKernels()));
    // One warm-up run, not printed: first-touch page faults of the bitmaps.
    for (int run = -1; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        Resample(TResampleFilter(chosen->Filter), DefaultRadius(TResampleFilter(chosen->Filter)), source, target);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (run >= 0)
            std::printf(" %.3f", took.count());
    }
    std::printf("\n");
    return 0;
}
