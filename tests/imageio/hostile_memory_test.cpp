// Files of a few bytes that claim pictures of gigabytes, for every reader:
// each must be refused, or loaded, at a peak resident memory under 64 MiB
// plus the picture it really gives. Each file is loaded in a child process
// whose peak is reset first, so what the test harness holds does not count.
#include <gtest/gtest.h>

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include "base/exceptions.h"
#include "imagetest.h"
#include "imageio/picture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;
constexpr long BudgetKiB = 64 * 1024;
#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer's shadow memory and the freed blocks it holds back count
// in the peak as well.
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif

struct TOutcome {
    std::string Result; // "loaded" or the message
    long PeakKiB = 0;
    double Seconds = 0;
    uint64_t PictureBytes = 0;
};

long PeakKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

constexpr rlim_t ChildAddressSpace = rlim_t(4) << 30;

// Loads the file as the program does, in a child whose peak starts at what
// it holds at the fork.
TOutcome LoadInChild(const std::string& path)
{
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe");
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        // A reader that regresses fails here with "Out of memory" rather
        // than taking the machine's memory (one such file reached 24 GB).
        if (!Sanitized) {
            const rlimit cap{ChildAddressSpace, ChildAddressSpace};
            setrlimit(RLIMIT_AS, &cap);
        }
        std::ofstream("/proc/self/clear_refs") << "5";
        std::string result;
        uint64_t bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        try {
            const TBitmap bitmap = LoadBitmapFromFile(path);
            result = "loaded";
            bytes = uint64_t(bitmap.RowBytes()) * uint64_t(bitmap.Height());
        } catch (const Exception& e) {
            result = e.Message();
        } catch (const std::exception& e) {
            result = std::string("foreign exception: ") + e.what();
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::string report =
            std::to_string(PeakKiB()) + " " + std::to_string(seconds) + " " + std::to_string(bytes) + " " + result;
        (void)!write(fds[1], report.data(), report.size());
        _exit(0);
    }
    close(fds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    TOutcome outcome;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || report.empty()) {
        outcome.Result = "child died";
        return outcome;
    }
    size_t a = report.find(' '), b = report.find(' ', a + 1), c = report.find(' ', b + 1);
    outcome.PeakKiB = std::stol(report.substr(0, a));
    outcome.Seconds = std::stod(report.substr(a + 1, b - a - 1));
    outcome.PictureBytes = std::stoull(report.substr(b + 1, c - b - 1));
    outcome.Result = report.substr(c + 1);
    return outcome;
}

void LE16(Bytes& b, size_t at, unsigned v) { b[at] = uint8_t(v), b[at + 1] = uint8_t(v >> 8); }
void LE32(Bytes& b, size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i)); }
void BE16(Bytes& b, size_t at, unsigned v) { b[at] = uint8_t(v >> 8), b[at + 1] = uint8_t(v); }
void BE32(Bytes& b, size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i)); }

Bytes Pcx(unsigned bits, unsigned planes, unsigned side, unsigned encoding, size_t dataBytes)
{
    Bytes f(128 + dataBytes, 0xC1);
    std::fill(f.begin(), f.begin() + 128, 0);
    f[0] = 10, f[1] = 5, f[2] = uint8_t(encoding), f[3] = uint8_t(bits), f[65] = uint8_t(planes);
    LE16(f, 8, side - 1), LE16(f, 10, side - 1), LE16(f, 66, (side * bits + 7) / 8);
    return f;
}

// A little-endian TIFF of one strip (or tile) of `side` x `side` pixels.
Bytes Tiff(unsigned compression, unsigned spp, bool tiled, size_t dataBytes)
{
    struct Entry { uint16_t tag, type; uint32_t value; };
    std::vector<Entry> e = {{256, 4, 16384}, {257, 4, 16384}, {258, 3, 8}, {259, 3, compression},
                            {262, 3, spp == 3 ? 2u : 1u}, {273, 4, 0}, {277, 3, spp}, {278, 4, 16384}, {279, 4, 0}};
    if (tiled) {
        e[5].tag = 324, e[8].tag = 325; // tile offsets and byte counts
        e.insert(e.end() - 2, {{322, 4, 256}, {323, 4, 256}});
        std::sort(e.begin(), e.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    }
    const uint32_t dataAt = uint32_t(8 + 2 + 12 * e.size() + 4);
    Bytes f(dataAt + dataBytes, 0x55);
    f[0] = 'I', f[1] = 'I', LE16(f, 2, 42), LE32(f, 4, 8), LE16(f, 8, unsigned(e.size()));
    for (size_t i = 0; i < e.size(); ++i) {
        uint32_t v = e[i].value;
        if (e[i].tag == 273 || e[i].tag == 324)
            v = dataAt;
        if (e[i].tag == 279 || e[i].tag == 325)
            v = uint32_t(dataBytes);
        const size_t at = 10 + 12 * i;
        LE16(f, at, e[i].tag), LE16(f, at + 2, e[i].type), LE32(f, at + 4, 1);
        if (e[i].type == 3)
            LE16(f, at + 8, v), LE16(f, at + 10, 0);
        else
            LE32(f, at + 8, v);
    }
    LE32(f, 10 + 12 * e.size(), 0);
    return f;
}

Bytes Sgi(unsigned storage, size_t dataBytes)
{
    Bytes f(512 + dataBytes, 0x81);
    std::fill(f.begin(), f.begin() + 512, 0);
    BE16(f, 0, 474), f[2] = uint8_t(storage), f[3] = 1, BE16(f, 4, 3);
    BE16(f, 6, 16384), BE16(f, 8, 16384), BE16(f, 10, 3);
    return f;
}

Bytes Psd(unsigned mode, unsigned compression, uint32_t rows, uint32_t columns, size_t tail)
{
    Bytes f(26 + 12 + 2 + tail, 0);
    std::memcpy(f.data(), "8BPS", 4), BE16(f, 4, 1), BE16(f, 12, 3);
    BE32(f, 14, rows), BE32(f, 18, columns), BE16(f, 22, 8), BE16(f, 24, mode);
    BE16(f, 38, compression);
    return f;
}

Bytes Gif(size_t dataBytes)
{
    Bytes f = {'G', 'I', 'F', '8', '9', 'a', 0, 0x40, 0, 0x40, 0, 0, 0, 0x2C, 0, 0, 0, 0, 0, 0x40, 0, 0x40, 0, 8};
    for (size_t left = dataBytes; left > 0;) {
        const size_t n = std::min<size_t>(left, 255);
        f.push_back(uint8_t(n));
        // Clear codes and literals of 9 bits, endlessly: a valid stream.
        for (size_t i = 0; i < n; ++i)
            f.push_back(uint8_t(0x5A ^ i));
        left -= n;
    }
    f.insert(f.end(), {0, 0x3B});
    return f;
}

struct TJpegErrors {
    jpeg_error_mgr Public;
    std::jmp_buf Jump;
};

// An 8 x 8 grey JPEG from libjpeg whose frame header then claims a side of
// `side`.
Bytes Jpeg(bool progressive, unsigned side)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    uint8_t line[8] = {10, 20, 30, 40, 50, 60, 70, 80};
    while (info.next_scanline < 8) {
        JSAMPROW row = line;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes f(buffer, buffer + size);
    free(buffer);
    jpeg_destroy_compress(&info);
    for (size_t i = 2; i + 9 < f.size(); ++i)
        if (f[i] == 0xFF && (f[i + 1] == 0xC0 || f[i + 1] == 0xC2)) {
            BE16(f, i + 5, side), BE16(f, i + 7, side);
            break;
        }
    return f;
}

Bytes Targa(unsigned type, unsigned side, size_t dataBytes)
{
    Bytes f(18 + dataBytes, 0xFF);
    std::fill(f.begin(), f.begin() + 18, 0);
    f[2] = uint8_t(type), LE16(f, 12, side), LE16(f, 14, side), f[16] = 24;
    return f;
}

Bytes Rla()
{
    const unsigned height = 1000;
    Bytes f(740 + 4 * height, 0);
    BE16(f, 8, 0), BE16(f, 10, 32766), BE16(f, 12, 0), BE16(f, 14, height - 1), BE16(f, 20, 3);
    // Every row at one short row of data after the table.
    const uint32_t row = uint32_t(f.size());
    for (unsigned y = 0; y < height; ++y)
        BE32(f, 740 + 4 * y, row);
    for (int c = 0; c < 3; ++c)
        f.insert(f.end(), {0, 2, 0x7F, 9});
    return f;
}

Bytes Png(uint32_t side)
{
    auto chunk = [](Bytes& f, const char* type, const Bytes& data) {
        const size_t at = f.size();
        f.resize(at + 8);
        BE32(f, at, uint32_t(data.size()));
        std::memcpy(f.data() + at + 4, type, 4);
        f.insert(f.end(), data.begin(), data.end());
        const uint32_t crc = uint32_t(crc32(crc32(0, f.data() + at + 4, 4), data.data(), uInt(data.size())));
        f.resize(f.size() + 4);
        BE32(f, f.size() - 4, crc);
    };
    Bytes f = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr(13, 0);
    BE32(ihdr, 0, side), BE32(ihdr, 4, side), ihdr[8] = 8, ihdr[9] = 2;
    chunk(f, "IHDR", ihdr);
    // A zlib stream of a few rows' worth of zeros.
    Bytes raw(3 * side + 1, 0), packed(compressBound(uLong(raw.size())));
    uLongf packedSize = uLongf(packed.size());
    compress(packed.data(), &packedSize, raw.data(), uLong(raw.size()));
    packed.resize(packedSize);
    chunk(f, "IDAT", packed);
    chunk(f, "IEND", {});
    return f;
}

// A lossless WebP header of 16383 x 16383 and a few bytes of bitstream.
Bytes WebP()
{
    Bytes f = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', 'L', 0, 0, 0, 0, 0x2F};
    const uint32_t bits = 16382 | 16382u << 14; // width - 1, height - 1, no alpha, version 0
    for (int i = 0; i < 4; ++i)
        f.push_back(uint8_t(bits >> (8 * i)));
    f.insert(f.end(), {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0});
    LE32(f, 16, uint32_t(f.size() - 20));
    LE32(f, 4, uint32_t(f.size() - 8));
    return f;
}

// A real HEIF (heif-enc) or AVIF (ImageMagick) file whose image extents
// then claim 16384 x 16384; empty when the writer is missing.
Bytes HeifClaimingMore(const TempDir& dir, bool avif)
{
    if (ImageMagick().empty() || (!avif && !HaveProgram("heif-enc")))
        return {};
    const std::string png = dir.File("small.png"), out = dir.File(avif ? "small.avif" : "small.heic");
    if (RunCommand(ImageMagick() + " -size 64x48 gradient:red-blue " + Quote(png)) != 0)
        return {};
    const std::string write = avif ? ImageMagick() + " " + Quote(png) + " " + Quote(out)
                                   : "heif-enc -q 50 -o " + Quote(out) + " " + Quote(png) + " > /dev/null";
    if (RunCommand(write) != 0)
        return {};
    Bytes f = ReadFile(out);
    for (size_t i = 0; i + 16 <= f.size(); ++i)
        if (std::memcmp(f.data() + i, "ispe", 4) == 0) {
            BE32(f, i + 8, 16384), BE32(f, i + 12, 16384);
        }
    return f;
}

} // namespace

TEST(HostileFiles, TinyFilesClaimingHugePicturesCostLittleMemory)
{
    TempDir dir;
    struct Case { std::string name, ext; Bytes file; std::string expect; };
    std::vector<Case> cases;
    const std::string short_ = "not enough data for a ";
    cases.push_back({"144-byte PCX, 24-bit run-length", "pcx", Pcx(8, 3, 16384, 1, 16), "PCX: " + short_});
    cases.push_back({"PCX raw, 1-bit", "pcx", Pcx(1, 1, 65535, 0, 16), "Picture too large"});
    cases.push_back({"PCX raw, 8-bit", "pcx", Pcx(8, 1, 16384, 0, 800), "PCX: " + short_});
    cases.push_back({"150-byte TIFF, raw strip", "tif", Tiff(1, 1, false, 28), "TIFF: " + short_});
    cases.push_back({"TIFF LZW strip", "tif", Tiff(5, 1, false, 28), "TIFF: " + short_});
    cases.push_back({"TIFF PackBits strip", "tif", Tiff(32773, 1, false, 28), "TIFF: " + short_});
    cases.push_back({"TIFF Deflate strip", "tif", Tiff(8, 1, false, 28), "TIFF: " + short_});
    cases.push_back({"TIFF JPEG strip", "tif", Tiff(7, 1, false, 28), "TIFF: " + short_});
    cases.push_back({"TIFF raw RGB tile", "tif", Tiff(1, 3, true, 2000), "TIFF: " + short_});
    cases.push_back({"528-byte SGI, run-length", "rgb", Sgi(1, 16), "SGI: " + short_});
    cases.push_back({"SGI raw", "rgb", Sgi(0, 16), "SGI: " + short_});
    cases.push_back({"30 KB PSD, raw RGB", "psd", Psd(3, 0, 16384, 16384, 30000), "Stream read error"});
    {
        // A PackBits table of every row (3 x 5000 counts of 0), then nothing.
        cases.push_back({"PSD PackBits RGB", "psd", Psd(3, 1, 5000, 30000, 30000), "PSD: " + short_});
    }
    cases.push_back({"PSD of a mode that is not shown", "psd", Psd(7, 0, 16384, 16384, 100), "PSD: " + short_});
    cases.push_back({"5 KB GIF", "gif", Gif(5000), "GIF: " + short_});
    cases.push_back({"639-byte JPEG, baseline", "jpg", Jpeg(false, 16384), "JPEG: " + short_});
    cases.push_back({"JPEG, progressive", "jpg", Jpeg(true, 16384), "JPEG: " + short_});
    cases.push_back({"Targa run-length", "tga", Targa(10, 16384, 10), "Targa: " + short_});
    cases.push_back({"Targa raw", "tga", Targa(2, 16384, 10), "Targa: invalid image"});
    cases.push_back({"Targa without image data", "tga", Targa(0, 16384, 0), "Targa: " + short_});
    cases.push_back({"RLA, every row the same few bytes", "rla", Rla(), "RLA: " + short_});
    {
        Bytes cut = {0, 0x40, 0, 0x40, 0, 0, 4, 0, 0xFF, 1, 0};
        cases.push_back({"CUT", "cut", cut, "CUT: " + short_});
    }
    {
        Bytes pic(32 + 768 + 10, 0);
        LE16(pic, 0, 0x9119), LE16(pic, 2, 16384), LE16(pic, 4, 16384);
        cases.push_back({"Autodesk", "pic", pic, "Autodesk: " + short_});
    }
    {
        Bytes pcd(194636 + 100, 0);
        std::memcpy(pcd.data() + 2048, "PCD_IPI", 7);
        cases.push_back({"Photo-CD cut short", "pcd", pcd, "Stream read error"});
    }
    {
        const std::string p6 = "P6\n16384 16384\n255\nabcdefgh", p3 = "P3\n16384 16384\n255\n1 2 3\n";
        cases.push_back({"PPM binary", "ppm", Bytes(p6.begin(), p6.end()), "PPM: Stream read error."});
        cases.push_back({"PPM text", "ppm", Bytes(p3.begin(), p3.end()), "PPM: Stream read error."});
    }
    {
        Bytes bmp(14 + 40 + 16, 0);
        bmp[0] = 'B', bmp[1] = 'M', LE32(bmp, 10, 54), LE32(bmp, 14, 40), LE32(bmp, 18, 16384), LE32(bmp, 22, 16384);
        LE16(bmp, 26, 1), LE16(bmp, 28, 24);
        cases.push_back({"BMP raw", "bmp", bmp, "Stream read error"});
        Bytes rle = bmp;
        LE16(rle, 28, 8), LE32(rle, 30, 1), LE32(rle, 10, 54 + 1024);
        rle.resize(54 + 1024, 0);
        rle.insert(rle.end(), {0xFF, 1, 0xFF, 2, 0, 0});
        cases.push_back({"BMP run-length", "bmp", rle, "BMP: " + short_});
    }
    {
        // An icon whose one entry is a PNG claiming 16384 x 16384.
        const Bytes png = Png(16384);
        Bytes ico(6 + 16, 0);
        LE16(ico, 2, 1), LE16(ico, 4, 1), LE16(ico, 6 + 4, 1), LE16(ico, 6 + 6, 32);
        LE32(ico, 6 + 8, uint32_t(png.size())), LE32(ico, 6 + 12, 22);
        ico.insert(ico.end(), png.begin(), png.end());
        cases.push_back({"icon with a PNG entry", "ico", ico, "PNG: " + short_});
    }
    cases.push_back({"PNG", "png", Png(16384), "PNG: " + short_});
    cases.push_back({"WebP, lossless", "webp", WebP(), "WebP: "});
    for (bool avif : {false, true}) {
        Bytes f = HeifClaimingMore(dir, avif);
        // libheif trusts the coded picture over the stated extents: refused
        // or loaded, either at little cost.
        if (!f.empty())
            cases.push_back({avif ? "AVIF claiming more" : "HEIF claiming more", avif ? "avif" : "heic", f, ""});
    }
    // Found by fuzzing: libwebp and libheif's decoders sized their buffers
    // from these few hundred bytes (libheif's reached 4.7 GB resident).
    for (const char* folder : {"heif", "webp"})
        for (const auto& entry : std::filesystem::directory_iterator(DataDir() / "regress" / folder))
            if (entry.path().filename().string().rfind("oom-", 0) == 0) {
                const std::string ext = entry.path().extension().string().substr(1);
                cases.push_back({entry.path().filename().string(), ext, ReadFile(entry.path().string()),
                                 std::string(ext == "webp" ? "WebP: " : "HEIF: ") + short_});
            }

    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("hostile" + std::to_string(i) + "." + c.ext);
        WriteFile(path, c.file);
        const TOutcome o = LoadInChild(path);
        std::printf("%-40s %7zu bytes  peak %6ld KiB  %.3f s  %s\n", c.name.c_str(), c.file.size(), o.PeakKiB,
                    o.Seconds, o.Result.c_str());
        EXPECT_EQ(o.Result.rfind(c.expect, 0), 0u) << o.Result;
        ASSERT_GT(o.PeakKiB, 0);
        EXPECT_LT(o.PeakKiB, BudgetKiB + long(o.PictureBytes / 1024));
    }
}

// A picture whose data is all there still loads, and its strips are not held
// whole beside the bitmap.
TEST(HostileFiles, LargeRealPicturesLoadWithinTheirOwnSize)
{
    if (Sanitized)
        GTEST_SKIP() << "peak memory is the sanitizer's";
    TempDir dir;
    // Written at once and not kept: the child would count the test's copy.
    struct Case { std::string name, path; size_t size; };
    std::vector<Case> cases;
    auto add = [&](const std::string& name, const std::string& ext, Bytes file) {
        const std::string path = dir.File("large" + std::to_string(cases.size()) + "." + ext);
        WriteFile(path, file);
        cases.push_back({name, path, file.size()});
    };
    {
        // One uncompressed strip of 6000 x 4000 RGB.
        Bytes f = Tiff(1, 3, false, 0);
        LE32(f, 10 + 8, 6000), LE32(f, 22 + 8, 4000), LE32(f, 10 + 12 * 7 + 8, 4000);
        LE32(f, 10 + 12 * 8 + 8, 6000 * 4000 * 3);
        f.resize(f.size() + size_t(6000) * 4000 * 3, 0x80);
        add("TIFF, one raw strip of 72 MB", "tif", std::move(f));
    }
    {
        // 4000 x 3000, 24-bit, every line three runs of 63 and the rest.
        Bytes f = Pcx(8, 3, 4000, 1, 0);
        LE16(f, 10, 2999);
        for (int y = 0; y < 3000; ++y)
            for (int p = 0; p < 3; ++p)
                for (int left = 4000; left > 0; left -= 63) {
                    f.push_back(uint8_t(0xC0 | std::min(left, 63)));
                    f.push_back(uint8_t(40 * p + y % 50));
                }
        add("PCX, 4000 x 3000 run-length", "pcx", std::move(f));
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TOutcome o = LoadInChild(c.path);
        std::printf("%-40s %9zu bytes  peak %7ld KiB  %.3f s  picture %llu KiB  %s\n", c.name.c_str(), c.size,
                    o.PeakKiB, o.Seconds, (unsigned long long)(o.PictureBytes / 1024), o.Result.c_str());
        ASSERT_EQ(o.Result, "loaded");
        EXPECT_LT(o.PeakKiB, BudgetKiB + long(o.PictureBytes / 1024));
    }
}
