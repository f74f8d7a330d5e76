// Parser of untrusted data: PBM, PGM and PPM files. Header numbers are read
// into 64 bits and capped, the picture size passes the limit and the bytes
// left must be able to hold its samples before rows are made, and every
// sample is checked against the stated maximum.
#include "imageio/ppmreader.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/checked.h"
#include "base/convert.h"
#include "base/exceptions.h"
#include "imageio/limits.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

constexpr size_t BufferSize = 4096;
const char* const NotValid = "Not a valid ppm file.";

bool IsSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

} // namespace

uint8_t TPPMGraphic::NextByte()
{
    if (BufferPos_ == Buffer_.size()) {
        Buffer_.resize(BufferSize);
        Buffer_.resize(Stream_->Read(Buffer_.data(), BufferSize));
        BufferPos_ = 0;
        if (Buffer_.empty())
            throw Exception("PPM: Stream read error.");
    }
    return Buffer_[BufferPos_++];
}

void TPPMGraphic::ReadBytes(uint8_t* dest, size_t count)
{
    while (count > 0) {
        if (BufferPos_ == Buffer_.size()) {
            *dest++ = NextByte(); // refills, or raises at the end
            --count;
            continue;
        }
        const size_t n = std::min(count, Buffer_.size() - BufferPos_);
        std::memcpy(dest, Buffer_.data() + BufferPos_, n);
        BufferPos_ += n;
        dest += n;
        count -= n;
    }
}

uint32_t TPPMGraphic::ReadNumber()
{
    uint8_t c = NextByte();
    while (c < '0' || c > '9') {
        if (c == '#')
            while (c != '\n' && c != '\r')
                c = NextByte();
        c = NextByte();
    }
    uint64_t value = 0;
    while (c >= '0' && c <= '9') {
        // Saturates: anything this large fails the limits anyway.
        value = std::min<uint64_t>(value * 10 + (c - '0'), 0xFFFFFFFFu);
        c = NextByte(); // the character after the number is consumed
    }
    return uint32_t(value);
}

void TPPMGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    Stream_ = &stream;
    Buffer_.clear();
    BufferPos_ = 0;

    if (NextByte() != 'P')
        throw Exception(NotValid);
    const int type = StrToInt(std::string(1, char(NextByte())));
    if (type < 1 || type > 6)
        throw Exception(NotValid);
    const bool bitmap = type == 1 || type == 4, colour = type == 3 || type == 6;
    const uint32_t width = ReadNumber(), height = ReadNumber();
    const uint32_t maximum = bitmap ? 1 : ReadNumber();
    if (maximum == 0 || maximum > 65535)
        throw Exception(NotValid);
    CheckPictureSize(width, height);

    if (bitmap) {
        SetPixelFormat(TPixelFormat::pf1bit);
        SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}});
    } else if (colour) {
        SetPixelFormat(TPixelFormat::pf24bit);
    } else {
        SetPixelFormat(TPixelFormat::pf8bit);
        TPalette palette(256);
        for (unsigned i = 0; i < 256; ++i)
            palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
        SetPalette(std::move(palette));
    }
    // Every sample takes at least a byte (a digit, for the text types), and
    // a file that ends early is an error anyway: fail before the rows exist.
    const uint64_t sampleBytes = type == 5 || type == 6 ? (maximum > 255 ? 2 : 1) : 1;
    const uint64_t lineBytes = type == 4 ? (uint64_t(width) + 7) / 8 : uint64_t(width) * (colour ? 3 : 1) * sampleBytes;
    if (CheckedMul(lineBytes, height) > Stream_->Remaining() + (Buffer_.size() - BufferPos_))
        throw Exception("PPM: Stream read error.");
    SetSize(int(width), int(height));
    if (Empty())
        return;

    // Samples scaled to 0-255, so that a maximum other than 255 keeps the
    // picture's brightness.
    auto scale = [maximum](uint32_t v) -> uint8_t {
        if (v > maximum)
            throw Exception("PPM: sample above the maximum value");
        return uint8_t((v * 255u + maximum / 2) / maximum);
    };
    const size_t samples = size_t(width) * (colour ? 3 : 1);
    std::vector<uint8_t> line(samples * (maximum > 255 ? 2 : 1));
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = ScanLine(int(y));
        if (type == 1) {
            // One digit per pixel; white space between them may be left out.
            for (uint32_t x = 0; x < width; ++x) {
                uint8_t c = NextByte();
                while (c != '0' && c != '1') {
                    if (c == '#')
                        while (c != '\n' && c != '\r')
                            c = NextByte();
                    else if (!IsSpace(c))
                        throw Exception(NotValid);
                    c = NextByte();
                }
                if (c == '1')
                    row[x >> 3] |= uint8_t(0x80 >> (x & 7));
            }
        } else if (type == 4) {
            ReadBytes(row, (width + 7) / 8);
        } else if (type == 2 || type == 3) {
            for (size_t i = 0; i < samples; ++i)
                line[i] = scale(ReadNumber());
        } else {
            ReadBytes(line.data(), line.size());
            if (maximum > 255)
                for (size_t i = 0; i < samples; ++i)
                    line[i] = scale(uint32_t(line[2 * i]) << 8 | line[2 * i + 1]);
            else if (maximum != 255)
                for (size_t i = 0; i < samples; ++i)
                    line[i] = scale(line[i]);
        }
        if (type == 2 || type == 5) {
            std::memcpy(row, line.data(), width);
        } else if (colour) {
            for (uint32_t x = 0; x < width; ++x) {
                row[3 * x] = line[3 * x + 2];
                row[3 * x + 1] = line[3 * x + 1];
                row[3 * x + 2] = line[3 * x];
            }
        }
    }
}

} // namespace tessaria
