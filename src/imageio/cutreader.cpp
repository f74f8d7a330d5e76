// Parser of untrusted data: Dr. Halo CUT pictures and their palette files.
// The picture must be one its data can fill; rows are decoded into bitmap
// rows that start zeroed, so short data leaves black rather than old memory;
// palette entries are read only from blocks that were read whole.
#include "imageio/cutreader.h"

#include <algorithm>
#include <filesystem>

#include "base/exceptions.h"
#include "imageio/decoders.h"
#include "imageio/limits.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

constexpr size_t PaletteBlock = 512;

std::string WithPaletteExtension(const std::string& name)
{
    const size_t slash = name.find_last_of('/');
    const size_t dot = name.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? name.substr(0, dot) : name) + ".pal";
}

TPalette ReadPaletteFile(const std::string& name)
{
    TFileStream file(name);
    uint8_t block[PaletteBlock];
    file.ReadBuffer(block, sizeof block);
    const unsigned count = std::min<unsigned>(GetLE16(block + 12) + 1u, MaxPaletteEntries);
    TPalette palette(count);
    size_t at = 40;
    for (unsigned i = 0; i < count; ++i, at += 6) {
        if (at > PaletteBlock - 6) { // an entry does not cross into the next block
            file.ReadBuffer(block, sizeof block);
            at = 0;
        }
        palette[i] = {block[at], block[at + 2], block[at + 4], 0};
    }
    return palette;
}

} // namespace

void TCUTGraphic::LoadFromFile(const std::string& fileName)
{
    PaletteFileName_ = WithPaletteExtension(fileName);
    TBitmap::LoadFromFile(fileName);
}

void TCUTGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    SetPixelFormat(TPixelFormat::pf8bit);
    uint8_t h[6];
    stream.ReadBuffer(h, sizeof h);
    const unsigned width = GetLE16(h), height = GetLE16(h + 2);

    std::error_code error;
    if (!PaletteFileName_.empty() && std::filesystem::is_regular_file(PaletteFileName_, error)) {
        SetPalette(ReadPaletteFile(PaletteFileName_));
    } else {
        TPalette palette(256);
        for (unsigned i = 0; i < 256; ++i)
            palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
        SetPalette(std::move(palette));
    }
    CheckPictureSize(width, height);
    CheckDataSupply("CUT", width, height, uint64_t(width) * height, stream.Remaining(), Expansion::RunLength);
    SetSize(int(width), int(height));
    if (Empty())
        return;

    const std::vector<uint8_t> data = ReadRemaining(stream);
    TPackedSource source(data.data(), data.size());
    TCUTRLE decoder;
    for (unsigned y = 0; y < height && source.Left() > 0; ++y)
        decoder.Decode(source, source.Left(), std::span<uint8_t>(ScanLine(int(y)), width));
}

} // namespace tessaria
