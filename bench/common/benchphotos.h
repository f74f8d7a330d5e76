#pragma once
// The photos a benchmark runs on: those of `dir`, or, with no folder given,
// `count` photos of 4000 x 3000 written into `work` by makephotos.sh.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "runprocess.h"

namespace tessaria::bench {

// The first `count` JPEG files by name; empty (with a message) when there are
// fewer.
inline std::vector<std::string> BenchPhotos(std::string dir, const std::filesystem::path& work, size_t count,
                                            const char* makePhotos)
{
    if (dir.empty()) {
        dir = (work / "photos").string();
        std::fprintf(stderr, "writing %zu photos of 4000 x 3000 into %s ...\n", count, dir.c_str());
        RunProcess({"sh", makePhotos, dir, std::to_string(count)});
    }
    std::vector<std::string> photos;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ".jpg")
            photos.push_back(e.path().string());
    std::sort(photos.begin(), photos.end());
    if (photos.size() < count) {
        std::fprintf(stderr, "%s holds %zu photos, %zu wanted\n", dir.c_str(), photos.size(), count);
        return {};
    }
    photos.resize(count);
    return photos;
}

} // namespace tessaria::bench
