// Loads every "claims-huge" regression file (tiny files whose headers claim
// pictures of up to gigabytes, one kin per reader) as a process, in turns
// with ImageMagick's convert and Pillow, and prints the median wall time and
// peak resident memory of each, and our ratio to each peer.
//
//   bench_hostile [-n RUNS] [--before TESSARIA-CONVERT]
//
// --before adds another tessaria-convert (an older build) as a fourth
// column, so that a change can be measured against what it replaced. A
// program that refuses a file counts like one that loads it: what is
// measured is what the attempt costs.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/runprocess.h"

namespace {

using tessaria::bench::RunProcess;
using tessaria::bench::TProcessRun;

struct TTool {
    std::string Name;
    std::vector<std::string> Command; // the file is appended
};

struct TMedians {
    double Milliseconds = 0;
    long PeakKiB = 0;
    bool AnyFailed = false;
};

template <class T>
T Median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    std::string before;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-n") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--before") == 0 && i + 1 < argc)
            before = argv[++i];
        else {
            std::fprintf(stderr, "usage: bench_hostile [-n RUNS] [--before TESSARIA-CONVERT]\n");
            return 2;
        }
    }
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TESSARIA_REGRESS_DIR))
        if (entry.is_regular_file() && entry.path().filename().string().rfind("claims-huge-", 0) == 0)
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());

    std::vector<TTool> tools = {
        {"ours", {TESSARIA_CONVERT, "--info"}},
        {"convert", {"convert", "-quiet"}}, // and ppm:/dev/null after the file
        {"Pillow", {"/usr/bin/python3", "-c", "import sys\nfrom PIL import Image\nImage.open(sys.argv[1]).load()"}},
    };
    if (!before.empty())
        tools.push_back({"before", {before, "--info"}});

    std::printf("%d runs each, medians: wall ms / peak MiB (x = refused or failed)\n", runs);
    std::printf("%-52s", "file");
    for (const TTool& t : tools)
        std::printf(" %18s", t.Name.c_str());
    std::printf("   ours/convert  ours/Pillow\n");
    for (const std::string& file : files) {
        std::vector<TMedians> medians(tools.size());
        std::vector<std::vector<double>> ms(tools.size());
        std::vector<std::vector<long>> kib(tools.size());
        // The tools take turns, so that each sees the same machine load.
        for (int r = 0; r < runs; ++r)
            for (size_t t = 0; t < tools.size(); ++t) {
                std::vector<std::string> command = tools[t].Command;
                command.push_back(file);
                if (tools[t].Name == "convert")
                    command.push_back("ppm:/dev/null");
                const TProcessRun run = RunProcess(command, true, true);
                ms[t].push_back(run.Milliseconds);
                kib[t].push_back(run.PeakKiB);
                medians[t].AnyFailed |= run.Failed;
            }
        std::printf("%-52s", std::filesystem::path(file).filename().string().substr(12).c_str());
        for (size_t t = 0; t < tools.size(); ++t) {
            medians[t].Milliseconds = Median(ms[t]);
            medians[t].PeakKiB = Median(kib[t]);
            char cell[64];
            std::snprintf(cell, sizeof cell, "%.0f / %.1f%s", medians[t].Milliseconds, medians[t].PeakKiB / 1024.0,
                          medians[t].AnyFailed ? " x" : "");
            std::printf(" %18s", cell);
        }
        std::printf("   %5.2f %5.2f   %5.2f %5.2f\n", medians[0].Milliseconds / medians[1].Milliseconds,
                    double(medians[0].PeakKiB) / double(medians[1].PeakKiB),
                    medians[0].Milliseconds / medians[2].Milliseconds,
                    double(medians[0].PeakKiB) / double(medians[2].PeakKiB));
    }
    return 0;
}
