// main() for the fuzz targets when libFuzzer is not used: runs the target
// over every file of the folders (or files) given, and with -mutate=N also
// over N variants of each, made by a fixed pseudo-random sequence of byte
// changes, cuts and insertions, so that a plain build still explores a
// little around the seeds.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

uint64_t State = 0x9E3779B97F4A7C15ull;

uint64_t Next()
{
    State ^= State << 13;
    State ^= State >> 7;
    State ^= State << 17;
    return State;
}

std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes)
{
    const int edits = 1 + int(Next() % 8);
    for (int e = 0; e < edits; ++e) {
        const size_t at = bytes.empty() ? 0 : size_t(Next() % bytes.size());
        switch (Next() % 6) {
        case 0:
            if (!bytes.empty())
                bytes[at] = uint8_t(Next());
            break;
        case 1:
            if (!bytes.empty())
                bytes[at] ^= uint8_t(1u << (Next() % 8));
            break;
        case 2: // a size or count field set large
            for (size_t i = at; i < at + 4 && i < bytes.size(); ++i)
                bytes[i] = Next() % 2 ? 0xFF : 0x7F;
            break;
        case 3:
            bytes.resize(at);
            break;
        case 4:
            bytes.insert(bytes.begin() + long(at), size_t(Next() % 16), uint8_t(Next()));
            break;
        default:
            if (!bytes.empty())
                bytes[at] = 0;
            break;
        }
    }
    return bytes;
}

std::vector<uint8_t> Read(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

int main(int argc, char** argv)
{
    long mutations = 0;
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "-mutate=", 8) == 0) {
            mutations = std::atol(argv[i] + 8);
            continue;
        }
        const std::filesystem::path p = argv[i];
        if (std::filesystem::is_directory(p)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(p))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else if (std::filesystem::exists(p)) {
            files.push_back(p);
        }
    }
    std::sort(files.begin(), files.end());
    long runs = 0;
    for (const auto& file : files) {
        const std::vector<uint8_t> bytes = Read(file);
        std::fprintf(stderr, "%s\n", file.c_str());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++runs;
        for (long m = 0; m < mutations; ++m, ++runs) {
            const std::vector<uint8_t> variant = Mutate(bytes);
            LLVMFuzzerTestOneInput(variant.data(), variant.size());
        }
    }
    std::printf("%ld runs over %zu files: no crash\n", runs, files.size());
    return files.empty() ? 1 : 0;
}
