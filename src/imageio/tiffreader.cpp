// Parser of untrusted data: TIFF files. Every offset is checked against the
// stream's size, every table against the bytes that can hold it, the
// picture must be one the file's data can fill, and strips and tiles are
// decoded a band of lines at a time straight into the bitmap's rows, so no
// buffer grows with the picture.
#include "imageio/tiffreader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/colourconv.h"
#include "imageio/decoders.h"
#include "imageio/limits.h"
#include "imageio/orientation.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"
#include "imageio/tiffsegment.h"

namespace tessaria {

namespace {

enum : uint16_t {
    tagImageWidth = 256,
    tagImageLength = 257,
    tagBitsPerSample = 258,
    tagCompression = 259,
    tagPhotometric = 262,
    tagFillOrder = 266,
    tagOrientation = 274,
    tagStripOffsets = 273,
    tagSamplesPerPixel = 277,
    tagRowsPerStrip = 278,
    tagStripByteCounts = 279,
    tagPlanarConfig = 284,
    tagPredictor = 317,
    tagColorMap = 320,
    tagTileWidth = 322,
    tagTileLength = 323,
    tagTileOffsets = 324,
    tagTileByteCounts = 325,
    tagExtraSamples = 338,
    tagJPEGTables = 347,
    tagYCbCrSubSampling = 530,
};

const char* const InvalidFile = "Invalid TIFF file.";
const char* const UnknownCompression = "TIFF: Unknown compression scheme";
const char* const UnsupportedLayout = "TIFF: unsupported image layout";
const char* const UnsupportedBits = "TIFF: unsupported bits per sample";

// More samples than any real colour space with its extras.
constexpr uint32_t MaxSamplesPerPixel = 8;

enum class TKind { Grey, Palette, RGB, RGBA, CMYK, Lab, YCbCr };

unsigned TypeSize(uint16_t type)
{
    switch (type) {
    case 1: case 2: case 6: case 7: return 1; // BYTE, ASCII, SBYTE, UNDEFINED
    case 3: case 8: return 2;                 // SHORT, SSHORT
    case 4: case 9: case 13: return 4;        // LONG, SLONG, IFD
    default: return 0;                        // no integer values
    }
}

class TDirectory {
public:
    TDirectory(TStream& stream, uint64_t base, bool bigEndian, const std::vector<TTIFFGraphic::TDirEntry>& entries)
        : Stream_(stream), Base_(base), BigEndian_(bigEndian), Entries_(entries)
    {
    }

    const TTIFFGraphic::TDirEntry* Find(uint16_t tag) const
    {
        // Entries should be sorted; a linear walk also finds them when not.
        for (const auto& e : Entries_)
            if (e.Tag == tag)
                return &e;
        return nullptr;
    }

    // Every value of an integer entry; empty when missing. Values that fit
    // in the value field are read from there, as TIFF stores them.
    std::vector<uint32_t> Values(uint16_t tag) const
    {
        const auto* e = Find(tag);
        if (!e)
            return {};
        const unsigned size = TypeSize(e->Type);
        if (size == 0)
            return {};
        const uint64_t total = CheckedMul(e->Count, size);
        std::vector<uint8_t> held;
        const uint8_t* p = e->Value;
        if (total > 4) {
            held = ReadExactAt(Stream_, CheckedAdd(Base_, Get32(e->Value)), total);
            p = held.data();
        }
        std::vector<uint32_t> values(e->Count);
        for (size_t i = 0; i < values.size(); ++i, p += size)
            values[i] = size == 1 ? *p : size == 2 ? Get16(p) : Get32(p);
        return values;
    }

    // The bytes of an entry of any type, as stored; empty when missing.
    std::vector<uint8_t> Bytes(uint16_t tag) const
    {
        const auto* e = Find(tag);
        if (!e || e->Count == 0)
            return {};
        const unsigned size = std::max(TypeSize(e->Type), 1u);
        const uint64_t total = CheckedMul(e->Count, size);
        if (total <= 4)
            return std::vector<uint8_t>(e->Value, e->Value + total);
        return ReadExactAt(Stream_, CheckedAdd(Base_, Get32(e->Value)), total);
    }

    uint32_t Value(uint16_t tag, uint32_t missing) const
    {
        const auto* e = Find(tag);
        if (!e || e->Count == 0 || TypeSize(e->Type) == 0)
            return missing;
        if (uint64_t(e->Count) * TypeSize(e->Type) <= 4) {
            const unsigned size = TypeSize(e->Type);
            return size == 1 ? e->Value[0] : size == 2 ? Get16(e->Value) : Get32(e->Value);
        }
        return Values(tag)[0];
    }

    uint16_t Get16(const uint8_t* p) const { return BigEndian_ ? GetBE16(p) : GetLE16(p); }
    uint32_t Get32(const uint8_t* p) const { return BigEndian_ ? GetBE32(p) : GetLE32(p); }

private:
    TStream& Stream_;
    uint64_t Base_;
    bool BigEndian_;
    const std::vector<TTIFFGraphic::TDirEntry>& Entries_;
};

uint8_t Clamp255(long v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// The 8-bit value of sample i of a row of 8- or 16-bit (machine order) samples.
uint8_t Sample8(const uint8_t* row, unsigned bitsPerSample, size_t i)
{
    if (bitsPerSample == 8)
        return row[i];
    uint16_t v;
    std::memcpy(&v, row + 2 * i, 2);
    return uint8_t(v >> 8);
}

void UndoPredictor16(uint8_t* row, size_t width, unsigned samples)
{
    for (size_t i = samples; i < width * samples; ++i) {
        uint16_t left, here;
        std::memcpy(&left, row + 2 * (i - samples), 2);
        std::memcpy(&here, row + 2 * i, 2);
        here = uint16_t(here + left);
        std::memcpy(row + 2 * i, &here, 2);
    }
}

// Everything about the image's layout that the decoding needs, taken once.
struct TLayout {
    uint32_t Width = 0, Height = 0;
    uint32_t SamplesPerPixel = 1, BitsPerSample = 1;
    uint32_t Compression = 0, Photometric = 0, Predictor = 1, FillOrder = 1;
    unsigned Planes = 1;          // 1 chunky, SamplesPerPixel planar
    unsigned SegmentSamples = 1;  // samples per pixel inside one strip or tile
    unsigned SubX = 1, SubY = 1;  // YCbCr chroma subsampling
    TKind Kind = TKind::Grey;
    bool BigEndian = false;
    TTIFFJPEGColour JPEGColour = TTIFFJPEGColour::Grey; // compression 7
};

// The strips or tiles of the picture, each opened as a stream of decoded
// bytes and read a band of lines at a time.
class TSegmentReader {
public:
    TSegmentReader(TStream& stream, uint64_t base, const TLayout& layout, std::vector<uint32_t> offsets,
                   std::vector<uint32_t> counts, std::vector<uint8_t> jpegTables)
        : Stream_(stream), Base_(base), L_(layout), Offsets_(std::move(offsets)), Counts_(std::move(counts)),
          JPEGTables_(std::move(jpegTables))
    {
    }

    size_t Count() const { return Offsets_.size(); }
    bool AnyData() const { return AnyData_; }

    size_t LineBytes(uint64_t width) const
    {
        return size_t(CheckedAdd(CheckedMul(CheckedMul(width, L_.SegmentSamples), L_.BitsPerSample), 7) / 8);
    }

    // Segment `index`, `width` pixels wide and `height` lines high as the
    // file lays it out (a tile may overhang the picture).
    std::unique_ptr<TSegmentData> Open(size_t index, uint32_t width, uint32_t height)
    {
        const uint64_t pos = CheckedAdd(Base_, Offsets_[index]);
        const uint64_t size = Stream_.Size();
        if (pos >= size)
            return RawSegment(Stream_, pos, 0, false); // nothing in the file
        const uint64_t available = size - pos;
        const bool reverse = L_.FillOrder == 2;
        if (L_.Compression == 1) {
            AnyData_ = true;
            return RawSegment(Stream_, pos, available, reverse);
        }
        // No honest packed data is much larger than what it unpacks to; the
        // cap keeps segments that all name the same huge range from costing
        // the whole file each.
        const uint64_t unpacked = CheckedMul(height, LineBytes(width));
        const uint64_t useful = L_.Compression == 7 ? CheckedAdd(CheckedMul(unpacked, 4), 65536)
                                                    : CheckedAdd(CheckedMul(unpacked, 2), 1024);
        const uint64_t stated = index < Counts_.size() ? Counts_[index] : available;
        Stream_.Seek(pos);
        std::vector<uint8_t> packed = ReadUpTo(Stream_, std::min({stated, available, useful}));
        AnyData_ |= !packed.empty();
        if (reverse)
            ReverseBitOrder(packed.data(), packed.size());
        switch (L_.Compression) {
        case 5: return DecodedSegment(std::move(packed), std::make_unique<TTIFFLZW>());
        case 32773: return DecodedSegment(std::move(packed), std::make_unique<TPackbitsRLE>());
        case 8:
        case 32946: return DeflateSegment(std::move(packed));
        default:
            if (packed.empty())
                return RawSegment(Stream_, pos, 0, false);
            return JPEGSegment(std::move(packed), JPEGTables_, L_.JPEGColour, width, height, L_.SegmentSamples);
        }
    }

    // The next `lines` lines of a segment `width` pixels wide into out, as
    // lines of LineBytes(width) (machine-order samples, predictor undone,
    // YCbCr blocks spread to three samples a pixel). Returns how many lines
    // got data; the bytes the data does not reach are zero.
    uint32_t ReadLines(TSegmentData& data, uint32_t width, uint32_t lines, std::vector<uint8_t>& out)
    {
        const size_t line = LineBytes(width);
        uint32_t got;
        if (L_.SubX * L_.SubY > 1) {
            const unsigned sx = L_.SubX, sy = L_.SubY, blockBytes = sx * sy + 2;
            const size_t blockRow = size_t((uint64_t(width) + sx - 1) / sx) * blockBytes;
            const uint32_t blockRows = (lines + sy - 1) / sy;
            Blocks_.assign(blockRow * blockRows, 0);
            const size_t bytes = data.Read(Blocks_.data(), Blocks_.size());
            got = std::min<uint32_t>(lines, uint32_t((bytes + blockRow - 1) / blockRow) * sy);
            Unblock(width, lines, out);
        } else {
            out.assign(line * lines, 0);
            const size_t bytes = data.Read(out.data(), out.size());
            got = uint32_t((bytes + line - 1) / line);
        }
        if (L_.BitsPerSample == 16 && L_.BigEndian)
            SwapShorts(out.data(), size_t(got) * line / 2);
        if (L_.Predictor == 2 && width > 1) {
            for (uint32_t y = 0; y < got; ++y) {
                uint8_t* row = out.data() + size_t(y) * line;
                if (L_.BitsPerSample == 8)
                    UndoPredictor(row, width - 1, L_.SegmentSamples);
                else if (L_.BitsPerSample == 16)
                    UndoPredictor16(row, width, L_.SegmentSamples);
            }
        }
        return got;
    }

private:
    // Subsampled YCbCr comes in blocks of SubX x SubY lumas and one Cb, Cr;
    // spread them into Y, Cb, Cr per pixel.
    void Unblock(uint32_t width, uint32_t rows, std::vector<uint8_t>& lines) const
    {
        lines.assign(size_t(width) * rows * 3, 0);
        const unsigned sx = L_.SubX, sy = L_.SubY, blockBytes = sx * sy + 2;
        const uint32_t across = (width + sx - 1) / sx, down = (rows + sy - 1) / sy;
        const uint8_t* block = Blocks_.data();
        for (uint32_t by = 0; by < down; ++by)
            for (uint32_t bx = 0; bx < across; ++bx, block += blockBytes)
                for (unsigned j = 0; j < sy; ++j)
                    for (unsigned i = 0; i < sx; ++i) {
                        const uint32_t x = bx * sx + i, y = by * sy + j;
                        if (x >= width || y >= rows)
                            continue;
                        uint8_t* d = lines.data() + (size_t(y) * width + x) * 3;
                        d[0] = block[j * sx + i];
                        d[1] = block[sx * sy];
                        d[2] = block[sx * sy + 1];
                    }
    }

    TStream& Stream_;
    uint64_t Base_;
    const TLayout& L_;
    std::vector<uint32_t> Offsets_, Counts_;
    std::vector<uint8_t> JPEGTables_;
    std::vector<uint8_t> Blocks_;
    bool AnyData_ = false;
};

// ITU-R BT.601 with full-range reference values, the TIFF defaults.
void YCbCrToBGR(const uint8_t* ycc, uint8_t* bgr, size_t pixels)
{
    for (size_t i = 0; i < pixels; ++i, ycc += 3, bgr += 3) {
        const long y = long(ycc[0]) << 16, cb = long(ycc[1]) - 128, cr = long(ycc[2]) - 128;
        const long half = 1 << 15;
        bgr[2] = Clamp255((y + 91881 * cr + half) >> 16);
        bgr[1] = Clamp255((y - 22554 * cb - 46802 * cr + half) >> 16);
        bgr[0] = Clamp255((y + 116130 * cb + half) >> 16);
    }
}

// Chooses what the samples mean; raises for what the reader cannot show.
void Classify(TLayout& l, uint32_t extraSamples)
{
    if (l.SamplesPerPixel == 0 || l.SamplesPerPixel > MaxSamplesPerPixel || extraSamples >= l.SamplesPerPixel)
        throw Exception(UnsupportedLayout);
    const uint32_t colours = l.SamplesPerPixel - extraSamples;
    const uint32_t bits = l.BitsPerSample;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16)
        throw Exception(UnsupportedBits);
    if (bits < 8 && l.SamplesPerPixel != 1)
        throw Exception(UnsupportedBits);
    if (colours == 1 && (l.Photometric == 0 || l.Photometric == 1))
        l.Kind = TKind::Grey;
    else if (colours == 1 && l.Photometric == 3 && bits <= 8)
        l.Kind = TKind::Palette;
    else if (colours == 3 && l.Photometric == 2)
        l.Kind = extraSamples ? TKind::RGBA : TKind::RGB;
    else if (colours == 4 && l.Photometric == 2)
        l.Kind = TKind::RGBA;
    else if (colours == 4 && l.Photometric == 5)
        l.Kind = TKind::CMYK;
    else if (colours == 3 && l.Photometric == 8 && bits == 8)
        l.Kind = TKind::Lab;
    else if (colours == 3 && l.Photometric == 6 && bits == 8)
        l.Kind = TKind::YCbCr;
    else
        throw Exception(UnsupportedLayout);
}

TPixelFormat FormatOf(const TLayout& l)
{
    switch (l.Kind) {
    case TKind::Grey:
    case TKind::Palette:
        return l.BitsPerSample == 1 ? TPixelFormat::pf1bit
               : l.BitsPerSample == 4 ? TPixelFormat::pf4bit
                                      : TPixelFormat::pf8bit;
    case TKind::RGBA: return TPixelFormat::pf32bit;
    default: return TPixelFormat::pf24bit;
    }
}

TPalette GreyPalette(unsigned bits, bool whiteIsZero)
{
    const unsigned n = bits == 1 ? 2 : bits == 4 ? 16 : 256;
    TPalette palette(n);
    for (unsigned i = 0; i < n; ++i) {
        const unsigned level = bits == 1 ? i * 255 : bits == 4 ? i * 16 : i;
        const uint8_t grey = uint8_t(level);
        palette[whiteIsZero ? n - 1 - i : i] = {grey, grey, grey, 0};
    }
    return palette;
}

// `count` pixels of samples (machine order) into a bitmap row at `row`,
// which points at the first of them.
void ConvertLine(const TLayout& l, const uint8_t* src, size_t count, uint8_t* row, std::vector<uint8_t>& scratch)
{
    const size_t w = count;
    const unsigned bits = l.BitsPerSample, spp = l.SamplesPerPixel;
    // The first n samples of every pixel as bytes, for converters that want
    // exactly n samples per pixel.
    auto firstSamples = [&](unsigned n) -> const uint8_t* {
        scratch.resize(w * n);
        for (size_t x = 0; x < w; ++x)
            for (unsigned c = 0; c < n; ++c)
                scratch[x * n + c] = Sample8(src, bits, x * spp + c);
        return scratch.data();
    };
    switch (l.Kind) {
    case TKind::Grey:
    case TKind::Palette:
        if (bits < 8)
            std::memcpy(row, src, (w * bits + 7) / 8);
        else if (bits == 8 && spp == 1)
            std::memcpy(row, src, w);
        else if (bits == 16 && spp == 1)
            Convert16To8(src, row, w);
        else
            for (size_t x = 0; x < w; ++x)
                row[x] = Sample8(src, bits, x * spp);
        break;
    case TKind::RGB:
        if (spp == 3)
            ConvertRGB(src, row, bits, 3 * w);
        else
            ConvertRGB(firstSamples(3), row, 8, 3 * w);
        break;
    case TKind::RGBA:
        if (spp == 4)
            ConvertRGBA(src, row, bits, 4 * w);
        else
            ConvertRGBA(firstSamples(4), row, 8, 4 * w);
        break;
    case TKind::CMYK:
        if (spp == 4)
            ConvertCMYK(src, row, bits, 4 * w);
        else
            ConvertCMYK(firstSamples(4), row, 8, 4 * w);
        break;
    case TKind::Lab:
        ConvertLab(spp == 3 ? src : firstSamples(3), row, 3 * w);
        break;
    case TKind::YCbCr:
        YCbCrToBGR(spp == 3 ? src : firstSamples(3), row, w);
        break;
    }
}

// The most bytes one stored byte of the compression can give.
uint64_t ExpansionOf(uint32_t compression)
{
    switch (compression) {
    case 5: return Expansion::LZW;
    case 32773: return Expansion::RunLength;
    case 8:
    case 32946: return Expansion::Deflate;
    // Colour JPEG is stored subsampled; each strip checks its own stream.
    case 7: return Expansion::JPEG * 64;
    default: return Expansion::Raw;
    }
}

} // namespace

void TTIFFGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    Entries_.clear();
    ColorMap_.clear();
    BasePosition_ = stream.Position();

    uint8_t header[8];
    stream.ReadBuffer(header, sizeof header);
    const bool bigEndian = header[0] == 'M' && header[1] == 'M';
    ByteOrder_ = GetLE16(header);
    Version_ = bigEndian ? GetBE16(header + 2) : GetLE16(header + 2);
    FirstIFD_ = bigEndian ? GetBE32(header + 4) : GetLE32(header + 4);
    if (Version_ != 42)
        throw Exception(InvalidFile);

    // Only the first directory: further pages are not shown.
    const uint64_t ifd = CheckedAdd(BasePosition_, FirstIFD_);
    const std::vector<uint8_t> countBytes = ReadExactAt(stream, ifd, 2);
    const unsigned entryCount = bigEndian ? GetBE16(countBytes.data()) : GetLE16(countBytes.data());
    const std::vector<uint8_t> raw = ReadExactAt(stream, ifd + 2, uint64_t(entryCount) * 12);
    Entries_.resize(entryCount);
    for (unsigned i = 0; i < entryCount; ++i) {
        const uint8_t* p = raw.data() + size_t(i) * 12;
        TDirEntry& e = Entries_[i];
        e.Tag = bigEndian ? GetBE16(p) : GetLE16(p);
        e.Type = bigEndian ? GetBE16(p + 2) : GetLE16(p + 2);
        e.Count = bigEndian ? GetBE32(p + 4) : GetLE32(p + 4);
        std::memcpy(e.Value, p + 8, 4);
    }
    const TDirectory dir(stream, BasePosition_, bigEndian, Entries_);

    TLayout l;
    l.BigEndian = bigEndian;
    l.Photometric = dir.Value(tagPhotometric, 0);
    l.SamplesPerPixel = dir.Value(tagSamplesPerPixel, 1);
    const std::vector<uint32_t> bitsList = dir.Values(tagBitsPerSample);
    l.BitsPerSample = bitsList.empty() ? 1 : bitsList[0];
    for (uint32_t b : bitsList)
        if (b != l.BitsPerSample)
            throw Exception(UnsupportedBits);
    const auto* extras = dir.Find(tagExtraSamples);
    Classify(l, extras ? extras->Count : 0);

    SetPixelFormat(FormatOf(l));
    if (l.Kind == TKind::Grey) {
        SetPalette(GreyPalette(l.BitsPerSample, l.Photometric == 0));
    } else if (l.Kind == TKind::Palette) {
        const unsigned n = 1u << l.BitsPerSample;
        const auto* map = dir.Find(tagColorMap);
        if (!map || map->Type != 3 || map->Count < 3 * n)
            throw Exception(InvalidFile);
        const uint64_t at = CheckedAdd(BasePosition_, dir.Get32(map->Value));
        const std::vector<uint8_t> bytes = ReadExactAt(stream, at, uint64_t(6) * n);
        ColorMap_.resize(3 * n);
        for (size_t i = 0; i < ColorMap_.size(); ++i)
            ColorMap_[i] = dir.Get16(bytes.data() + 2 * i);
        TPalette palette(n);
        for (unsigned i = 0; i < n; ++i)
            palette[i] = {uint8_t(ColorMap_[i] >> 8), uint8_t(ColorMap_[n + i] >> 8), uint8_t(ColorMap_[2 * n + i] >> 8), 0};
        SetPalette(std::move(palette));
    }

    l.Width = dir.Value(tagImageWidth, 0);
    l.Height = dir.Value(tagImageLength, 0);
    if (l.Width == 0 || l.Height == 0)
        throw Exception(InvalidFile);
    CheckPictureSize(l.Width, l.Height);

    l.Compression = dir.Value(tagCompression, 0);
    switch (l.Compression) {
    case 1: case 5: case 32773: case 8: case 32946: case 7: break;
    default: throw Exception(UnknownCompression);
    }
    l.Predictor = dir.Value(tagPredictor, 1);
    l.FillOrder = dir.Value(tagFillOrder, 1);
    l.Planes = dir.Value(tagPlanarConfig, 1) == 2 && l.SamplesPerPixel > 1 ? l.SamplesPerPixel : 1;
    l.SegmentSamples = l.Planes > 1 ? 1 : l.SamplesPerPixel;
    if (l.Compression == 7) {
        // libjpeg gives whole pixels of 8-bit samples, YCbCr already turned
        // into RGB and its subsampling undone; the planes of a planar
        // picture are streams of one component each.
        if (l.BitsPerSample != 8 || l.Predictor == 2)
            throw Exception(UnsupportedLayout);
        if (l.Planes > 1) {
            if (l.Kind == TKind::YCbCr)
                throw Exception(UnsupportedLayout);
            l.JPEGColour = TTIFFJPEGColour::Grey;
        } else if (l.Kind == TKind::Grey && l.SamplesPerPixel == 1) {
            l.JPEGColour = TTIFFJPEGColour::Grey;
        } else if (l.Kind == TKind::RGB && l.SamplesPerPixel == 3) {
            l.JPEGColour = TTIFFJPEGColour::RGB;
        } else if (l.Kind == TKind::YCbCr && l.SamplesPerPixel == 3) {
            l.JPEGColour = TTIFFJPEGColour::YCbCrToRGB;
            l.Kind = TKind::RGB;
        } else if (l.Kind == TKind::CMYK && l.SamplesPerPixel == 4) {
            l.JPEGColour = TTIFFJPEGColour::CMYK;
        } else {
            throw Exception(UnsupportedLayout);
        }
    } else if (l.Kind == TKind::YCbCr) {
        const std::vector<uint32_t> sub = dir.Values(tagYCbCrSubSampling);
        l.SubX = sub.size() > 0 ? sub[0] : 2;
        l.SubY = sub.size() > 1 ? sub[1] : 2;
        const auto valid = [](uint32_t s) { return s == 1 || s == 2 || s == 4; };
        if (!valid(l.SubX) || !valid(l.SubY) || l.SubY > l.SubX)
            throw Exception(UnsupportedLayout);
        // Differencing is defined on pixels, which blocks are not; blocks
        // hold exactly Y, Cb and Cr.
        if (l.SubX * l.SubY > 1 && (l.Planes > 1 || l.Predictor == 2 || l.SamplesPerPixel != 3))
            throw Exception(UnsupportedLayout);
    }
    SetOrientation(int(dir.Value(tagOrientation, OrientationNormal)));

    const bool tiled = dir.Find(tagTileWidth) && dir.Find(tagTileLength) && dir.Find(tagTileOffsets);
    TSegmentReader segments(stream, BasePosition_, l, dir.Values(tiled ? tagTileOffsets : tagStripOffsets),
                            dir.Values(tiled ? tagTileByteCounts : tagStripByteCounts),
                            l.Compression == 7 ? dir.Bytes(tagJPEGTables) : std::vector<uint8_t>());
    if (segments.Count() < l.Planes)
        throw Exception(InvalidFile);

    // What the stored samples of the whole picture take, against what the
    // file can hold.
    uint64_t needed;
    if (l.SubX * l.SubY > 1)
        needed = CheckedMul(CheckedMul((uint64_t(l.Width) + l.SubX - 1) / l.SubX, (uint64_t(l.Height) + l.SubY - 1) / l.SubY),
                            l.SubX * l.SubY + 2);
    else
        needed = CheckedMul(CheckedMul(segments.LineBytes(l.Width), l.Height), l.Planes);
    CheckDataSupply("TIFF", l.Width, l.Height, needed, stream.Size() - BasePosition_, ExpansionOf(l.Compression));

    // Tiles first, as they are checked before anything is made.
    uint32_t tw = l.Width, tl = 0;
    if (tiled) {
        tw = dir.Value(tagTileWidth, 0);
        tl = dir.Value(tagTileLength, 0);
        if (tw == 0 || tl == 0)
            throw Exception(InvalidFile);
        CheckPictureSize(tw, tl);
        // Tiles may overhang the picture, but one far larger than the whole
        // picture only asks for memory.
        if (uint64_t(tw) * tl > std::max<uint64_t>(uint64_t(4) * l.Width * l.Height, uint64_t(4096) * 4096))
            throw Exception("TIFF: tile larger than the picture");
        const uint64_t tileBits = uint64_t(tw) * l.SegmentSamples * l.BitsPerSample;
        if (tileBits % 8 != 0 || tw % l.SubX != 0 || tl % l.SubY != 0)
            throw Exception(UnsupportedLayout);
    }

    SetSize(int(l.Width), int(l.Height));
    const unsigned bitsOut = unsigned(BitsPerPixel());
    std::vector<std::vector<uint8_t>> planes(l.Planes);
    std::vector<uint8_t> chunky, scratch;

    // One segment of every plane: `width` x `height` as stored, of which
    // `rows` lines from picture row y0, pixel x0 on, are in the picture.
    // Read a band of lines at a time, each line converted into its row as
    // soon as it is there.
    auto readSegment = [&](size_t first, size_t perPlane, uint32_t x0, uint32_t y0, uint32_t width, uint32_t height,
                           uint32_t rows) {
        std::vector<std::unique_ptr<TSegmentData>> data(l.Planes);
        for (unsigned p = 0; p < l.Planes; ++p)
            data[p] = segments.Open(first + p * perPlane, width, height);
        const size_t line = segments.LineBytes(width);
        const size_t count = std::min<size_t>(width, l.Width - x0);
        // Bands of some 256 KB, whole blocks of YCbCr lines.
        uint32_t band = uint32_t(std::clamp<size_t>((size_t(256) << 10) / std::max<size_t>(line, 1), 1, 4096));
        band = std::max(l.SubY, band / l.SubY * l.SubY);
        for (uint32_t r = 0; r < rows; r += band) {
            const uint32_t n = std::min(band, rows - r);
            uint32_t got = 0;
            for (unsigned p = 0; p < l.Planes; ++p)
                got = std::max(got, segments.ReadLines(*data[p], width, n, planes[p]));
            for (uint32_t j = 0; j < got; ++j) {
                const uint8_t* src;
                if (l.Planes == 1) {
                    src = planes[0].data() + size_t(j) * line;
                } else {
                    const unsigned bytes = l.BitsPerSample / 8;
                    chunky.resize(count * l.Planes * bytes);
                    for (unsigned p = 0; p < l.Planes; ++p) {
                        const uint8_t* plane = planes[p].data() + size_t(j) * line;
                        for (size_t x = 0; x < count; ++x)
                            std::memcpy(chunky.data() + (x * l.Planes + p) * bytes, plane + x * bytes, bytes);
                    }
                    src = chunky.data();
                }
                uint8_t* row = ScanLine(int(y0 + r + j)) + size_t(x0) * bitsOut / 8;
                ConvertLine(l, src, count, row, scratch);
            }
            if (got < n)
                break; // the data ends: the rest of the segment stays as it is
        }
    };

    if (!tiled) {
        const size_t perPlane = segments.Count() / l.Planes;
        const std::vector<uint32_t> rowsPerStrip = dir.Values(tagRowsPerStrip);
        uint32_t y = 0;
        for (size_t s = 0; s < perPlane && y < l.Height; ++s) {
            uint32_t rows;
            if (perPlane == 1)
                rows = l.Height; // one strip holds the whole picture, whatever it says
            else if (rowsPerStrip.empty())
                rows = uint32_t((uint64_t(l.Height) + perPlane - 1) / perPlane);
            else
                rows = rowsPerStrip[std::min(s, rowsPerStrip.size() - 1)];
            const uint32_t stated = rows;
            rows = std::min(rows, l.Height - y);
            if (rows == 0)
                continue;
            readSegment(s, perPlane, 0, y, l.Width, std::max(stated, rows), rows);
            y += rows;
        }
    } else {
        const uint32_t across = uint32_t((uint64_t(l.Width) + tw - 1) / tw);
        const uint32_t down = uint32_t((uint64_t(l.Height) + tl - 1) / tl);
        const uint64_t perPlane = uint64_t(across) * down;
        for (uint32_t ty = 0; ty < down; ++ty) {
            const uint32_t y = ty * tl, rows = std::min(tl, l.Height - y);
            for (uint32_t tx = 0; tx < across; ++tx) {
                const uint64_t index = uint64_t(ty) * across + tx;
                if ((l.Planes - 1) * perPlane + index >= segments.Count())
                    break; // no tiles left in the file
                readSegment(size_t(index), size_t(perPlane), tx * tw, y, tw, tl, rows);
            }
        }
    }
    if (!segments.AnyData())
        throw Exception("TIFF: strip offset beyond end of file");
}

} // namespace tessaria
