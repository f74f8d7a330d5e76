#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "imagetest.h"
#include "imageio/decoders.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

struct DecodeCase {
    const char* name;
    std::function<std::unique_ptr<TDecoder>()> make;
    Bytes packed;
    size_t packedSize;   // as the caller states it (may exceed what there is)
    size_t unpackedSize;
    Bytes expected;      // what lands in the destination (its whole size)
    size_t consumed;     // where the source stands afterwards
};

template <class D>
std::function<std::unique_ptr<TDecoder>()> Make() { return [] { return std::make_unique<D>(); }; }

std::function<std::unique_ptr<TDecoder>()> SGI(unsigned sampleSize)
{
    return [sampleSize] {
        auto d = std::make_unique<TSGIRLE>();
        d->SampleSize = sampleSize;
        return d;
    };
}

constexpr uint8_t Z = 0xEE; // destination bytes no run should touch

} // namespace

TEST(Decoders, RunsAreCutAtTheInputAndTheRoomLeft)
{
    const DecodeCase cases[] = {
        // PackBits
        {"packbits literal and run", Make<TPackbitsRLE>(), {2, 1, 2, 3, 0xFE, 9}, 6, 6, {1, 2, 3, 9, 9, 9}, 6},
        {"packbits -128 is a no-op taking one byte", Make<TPackbitsRLE>(), {0x80, 0, 7}, 3, 2, {7, Z}, 3},
        {"packbits run cut at the end", Make<TPackbitsRLE>(), {0x81, 5}, 2, 4, {5, 5, 5, 5}, 2},
        {"packbits literal past the input", Make<TPackbitsRLE>(), {10, 1, 2}, 3, 4, {1, 2, Z, Z}, 3},
        {"packbits uses the whole packed size", Make<TPackbitsRLE>(), {0, 1, 0, 2}, 4, 1, {1}, 4},
        {"packbits packed size beyond the buffer", Make<TPackbitsRLE>(), {0, 4}, 1000, 2, {4, Z}, 2},
        {"packbits run without its value", Make<TPackbitsRLE>(), {0xFD}, 1, 2, {Z, Z}, 1},
        // PCX
        {"pcx run and literal", Make<TPCXRLE>(), {0xC3, 7, 5}, 3, 4, {7, 7, 7, 5}, 3},
        {"pcx run cut to the bytes missing", Make<TPCXRLE>(), {0xFF, 1, 2}, 3, 5, {1, 1, 1, 1, 1}, 2},
        {"pcx stops when the destination is full", Make<TPCXRLE>(), {1, 2, 3}, 3, 2, {1, 2}, 2},
        {"pcx run without its value", Make<TPCXRLE>(), {4, 0xC2}, 2, 3, {4, Z, Z}, 2},
        {"pcx packed size smaller than the buffer", Make<TPCXRLE>(), {1, 2, 3}, 1, 3, {1, Z, Z}, 1},
        // SGI, 1-byte samples
        {"sgi literal then run then end", SGI(1), {0x82, 1, 2, 0x03, 9, 0, 55}, 7, 5, {1, 2, 9, 9, 9}, 6},
        {"sgi run past the row", SGI(1), {0x7F, 4}, 2, 3, {4, 4, 4}, 2},
        {"sgi literal past the input", SGI(1), {0x85, 1}, 2, 3, {1, Z, Z}, 2},
        // SGI, 2-byte samples keep the more significant byte
        {"sgi16 literal and run", SGI(2), {0, 0x82, 1, 99, 2, 98, 0, 0x02, 7, 97, 0, 0}, 12, 4, {1, 2, 7, 7}, 12},
        {"sgi16 odd byte at the end", SGI(2), {0, 0x82, 1}, 3, 2, {Z, Z}, 3},
        // CUT: length, runs, 0
        {"cut run and literal", Make<TCUTRLE>(), {6, 0, 0x83, 4, 0x02, 1, 2, 0, 0xAA}, 9, 5, {4, 4, 4, 1, 2}, 8},
        {"cut run past the row", Make<TCUTRLE>(), {3, 0, 0xFF, 1, 0}, 5, 2, {1, 1}, 5},
        {"cut row cut short", Make<TCUTRLE>(), {3, 0, 0x05, 1}, 4, 3, {1, Z, Z}, 4},
        // RLA
        {"rla run and literal", Make<TRLADecoder>(), {2, 8, 0xFE, 1, 2}, 5, 5, {8, 8, 8, 1, 2}, 5},
        {"rla run past the row", Make<TRLADecoder>(), {100, 3}, 2, 2, {3, 3}, 2},
        {"rla literal past the input", Make<TRLADecoder>(), {0x80, 1, 2}, 3, 4, {1, 2, Z, Z}, 3},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto decoder = c.make();
        Bytes dest(c.unpackedSize, Z);
        TPackedSource source(c.packed);
        const size_t written = decoder->Decode(source, c.packedSize, dest);
        EXPECT_EQ(dest, c.expected);
        EXPECT_EQ(source.Offset(), c.consumed);
        size_t touched = 0;
        for (size_t i = 0; i < c.expected.size(); ++i)
            if (c.expected[i] != Z)
                touched = i + 1;
        EXPECT_EQ(written, touched);
    }
}

TEST(Decoders, CutRowsFollowOneAnother)
{
    const Bytes image = {3, 0, 0x82, 5, 0, /* row 2 */ 4, 0, 0x02, 1, 2, 0};
    TCUTRLE decoder;
    TPackedSource source(image);
    Bytes row(2);
    decoder.Decode(source, source.Left(), row);
    EXPECT_EQ(row, (Bytes{5, 5}));
    decoder.Decode(source, source.Left(), row);
    EXPECT_EQ(row, (Bytes{1, 2}));
    EXPECT_EQ(source.Left(), 0u);
}

namespace {

// Packs codes of the given widths, most or least significant bit first.
struct CodeWriter {
    bool msbFirst;
    Bytes out;
    uint64_t acc = 0;
    unsigned bits = 0;

    void Put(unsigned code, unsigned width)
    {
        if (msbFirst) {
            acc = acc << width | code;
            bits += width;
            while (bits >= 8) {
                out.push_back(uint8_t(acc >> (bits - 8)));
                bits -= 8;
            }
        } else {
            acc |= uint64_t(code) << bits;
            bits += width;
            while (bits >= 8) {
                out.push_back(uint8_t(acc));
                acc >>= 8;
                bits -= 8;
            }
        }
    }
    Bytes Finish()
    {
        if (bits)
            out.push_back(uint8_t(msbFirst ? acc << (8 - bits) : acc));
        return out;
    }
};

// A stream of literal codes only, switching to 10 bits after `nineBitCodes`.
Bytes LiteralStream(bool msbFirst, const Bytes& literals, size_t nineBitCodes)
{
    CodeWriter w{msbFirst, {}};
    w.Put(256, 9); // clear
    for (size_t i = 0; i < literals.size(); ++i)
        w.Put(literals[i], i < nineBitCodes ? 9 : 10);
    w.Put(257, literals.size() < nineBitCodes ? 9 : 10);
    return w.Finish();
}

Bytes Decode(TDecoder& decoder, const Bytes& packed, size_t unpacked)
{
    Bytes out(unpacked);
    TPackedSource source(packed);
    out.resize(decoder.Decode(source, packed.size(), out));
    return out;
}

} // namespace

TEST(Decoders, TiffLzwWidensOneCodeBeforeGif)
{
    Bytes literals(300);
    for (size_t i = 0; i < literals.size(); ++i)
        literals[i] = uint8_t(i * 7);
    // TIFF: the 255th code (index 254) is the first of 10 bits; GIF one later.
    TTIFFLZW tiff;
    EXPECT_EQ(Decode(tiff, LiteralStream(true, literals, 254), literals.size()), literals);
    EXPECT_NE(Decode(tiff, LiteralStream(true, literals, 255), literals.size()), literals);
    TGIFLZW gif;
    gif.InitialCodeSize = 8;
    EXPECT_EQ(Decode(gif, LiteralStream(false, literals, 255), literals.size()), literals);
}

TEST(Decoders, LzwStringsAndTheirLimits)
{
    // 'a' 'b' <ab> <aba>(the code being defined) 'c': abababac
    CodeWriter w{true, {}};
    for (unsigned code : {256u, 'a' + 0u, 'b' + 0u, 258u, 260u, 'c' + 0u, 257u})
        w.Put(code, 9);
    const Bytes packed = w.Finish();
    TTIFFLZW tiff;
    EXPECT_EQ(Decode(tiff, packed, 100), (Bytes{'a', 'b', 'a', 'b', 'a', 'b', 'a', 'c'}));
    // A short destination cuts the string, and nothing is written beyond it.
    Bytes small(5, Z);
    small.push_back(0x5A);
    TPackedSource source(packed);
    EXPECT_EQ(tiff.Decode(source, packed.size(), std::span<uint8_t>(small.data(), 5)), 5u);
    EXPECT_EQ(small, (Bytes{'a', 'b', 'a', 'b', 'a', 0x5A}));

    struct Bad { const char* name; std::vector<unsigned> codes; };
    const Bad bad[] = {
        {"code above the next free one", {256, 'a', 300}},
        {"first code after a clear is a string", {256, 258}},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.name);
        CodeWriter t{true, {}}, g{false, {}};
        for (unsigned code : b.codes) {
            t.Put(code, 9);
            g.Put(code, 9);
        }
        TTIFFLZW tiffDecoder;
        try {
            Decode(tiffDecoder, t.Finish(), 100);
            ADD_FAILURE() << "TIFF LZW accepted it";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "TIF LZW: invalid opcode.");
        }
        TGIFLZW gifDecoder;
        try {
            Decode(gifDecoder, g.Finish(), 100);
            ADD_FAILURE() << "GIF LZW accepted it";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "GIF LZW: invalid opcode.");
        }
    }
    TGIFLZW tooWide;
    tooWide.InitialCodeSize = 12;
    EXPECT_THROW(Decode(tooWide, {0, 0}, 4), Exception);
}

TEST(Decoders, LzwFullTableStaysFrozen)
{
    // 4000 different two-byte strings fill the table; then 12-bit codes that
    // refer to existing entries must keep decoding without a clear code.
    CodeWriter w{false, {}};
    Bytes expected;
    unsigned width = 9, next = 258;
    w.Put(256, 9);
    for (int i = 0; i < 5000; ++i) {
        const unsigned code = unsigned(i * 31 % 256);
        w.Put(code, width);
        expected.push_back(uint8_t(code));
        if (i > 0 && next < 4096) {
            if (next == (1u << width) - 1 && width < 12)
                ++width;
            ++next;
        }
    }
    w.Put(258, width); // the first entry: codes 0 and 31
    expected.push_back(0);
    expected.push_back(31);
    w.Put(257, width);
    TGIFLZW gif;
    gif.InitialCodeSize = 8;
    EXPECT_EQ(Decode(gif, w.Finish(), expected.size() + 10), expected);
}

namespace {

// Strips written by Pillow, with the bytes they decode to:
// per strip u32 packed size, u32 unpacked size, packed bytes, unpacked bytes.
struct Strip { Bytes packed, unpacked; };

std::vector<Strip> PillowTiffStrips(const TempDir& dir, const std::string& compression)
{
    const std::string out = dir.File(compression + ".strips");
    const std::string code =
        "import struct, random\n"
        "random.seed(7)\n"
        "w, h = 173, 61\n"
        "im = Image.new('RGB', (w, h))\n"
        "im.putdata([((x * 3) % 256, (y * 5 + (x // 9) * 40) % 256, random.choice((0, 0, 0, 255, x % 256)))"
        " for y in range(h) for x in range(w)])\n"
        "path = '" + dir.File("t.tif") + "'\n"
        "im.save(path, compression='" + compression + "')\n"
        "t = Image.open(path)\n"
        "offs, counts = t.tag_v2[273], t.tag_v2[279]\n"
        "rps = t.tag_v2.get(278, h)\n"
        "raw = open(path, 'rb').read()\n"
        "px = t.tobytes()\n"
        "o = open('" + out + "', 'wb')\n"
        "for i, (off, n) in enumerate(zip(offs, counts)):\n"
        "    rows = min(rps, h - i * rps)\n"
        "    un = px[i * rps * w * 3:(i * rps + rows) * w * 3]\n"
        "    o.write(struct.pack('<II', n, len(un)) + raw[off:off + n] + un)\n";
    std::vector<Strip> strips;
    if (!RunPillow(code))
        return strips;
    const Bytes file = ReadFile(out);
    size_t pos = 0;
    auto u32 = [&] {
        const uint32_t v = uint32_t(file[pos]) | uint32_t(file[pos + 1]) << 8 | uint32_t(file[pos + 2]) << 16 |
                           uint32_t(file[pos + 3]) << 24;
        pos += 4;
        return v;
    };
    while (pos < file.size()) {
        const uint32_t packed = u32(), unpacked = u32();
        Strip s;
        s.packed.assign(file.begin() + long(pos), file.begin() + long(pos + packed));
        pos += packed;
        s.unpacked.assign(file.begin() + long(pos), file.begin() + long(pos + unpacked));
        pos += unpacked;
        strips.push_back(std::move(s));
    }
    return strips;
}

} // namespace

TEST(Decoders, TiffStripsWrittenByPillow)
{
    if (PillowPython().empty())
        GTEST_SKIP() << "Pillow not installed";
    TempDir dir;
    for (const char* compression : {"tiff_lzw", "packbits"}) {
        SCOPED_TRACE(compression);
        const std::vector<Strip> strips = PillowTiffStrips(dir, compression);
        ASSERT_FALSE(strips.empty());
        for (size_t i = 0; i < strips.size(); ++i) {
            std::unique_ptr<TDecoder> decoder;
            if (std::string(compression) == "packbits")
                decoder = std::make_unique<TPackbitsRLE>();
            else
                decoder = std::make_unique<TTIFFLZW>();
            EXPECT_EQ(Decode(*decoder, strips[i].packed, strips[i].unpacked.size()), strips[i].unpacked)
                << "strip " << i;
        }
    }
}

TEST(Decoders, GifDataWrittenByPillow)
{
    if (PillowPython().empty())
        GTEST_SKIP() << "Pillow not installed";
    TempDir dir;
    const std::string base = dir.File("g");
    // Noise fills the table several times over, so clear codes and 12-bit
    // codes both occur.
    const std::string code =
        "import random\n"
        "random.seed(3)\n"
        "for bits in (1, 4, 8):\n"
        "    w, h = 211, 97\n"
        "    im = Image.new('P', (w, h))\n"
        "    im.putpalette([i % 256 for i in range(768)])\n"
        "    im.putdata([random.randrange(1 << bits) if random.random() < 0.5 else (x // 7) % (1 << bits)"
        " for y in range(h) for x in range(w)])\n"
        "    path = '" + base + "%d.gif' % bits\n"
        "    im.save(path, optimize=False, interlace=False)\n"
        "    d = open(path, 'rb').read()\n"
        "    pos = 13\n"
        "    if d[10] & 0x80: pos += 3 * (2 << (d[10] & 7))\n"
        "    while d[pos] == 0x21:\n"
        "        pos += 2\n"
        "        while d[pos]: pos += d[pos] + 1\n"
        "        pos += 1\n"
        "    flags = d[pos + 9]; pos += 10\n"
        "    if flags & 0x80: pos += 3 * (2 << (flags & 7))\n"
        "    data = bytes([d[pos]]); pos += 1\n"
        "    while d[pos]: data += d[pos + 1:pos + 1 + d[pos]]; pos += d[pos] + 1\n"
        "    open(path + '.lzw', 'wb').write(data)\n"
        "    open(path + '.idx', 'wb').write(bytes(Image.open(path).getdata()))\n";
    ASSERT_TRUE(RunPillow(code));
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        const std::string path = base + std::to_string(bits) + ".gif";
        const Bytes lzw = ReadFile(path + ".lzw"), indices = ReadFile(path + ".idx");
        TGIFLZW gif;
        gif.InitialCodeSize = lzw[0];
        EXPECT_EQ(Decode(gif, Bytes(lzw.begin() + 1, lzw.end()), indices.size()), indices);
    }
}

namespace {

// Decodes in pieces of `piece` bytes, each call going on where the last
// stopped, until a call gives nothing.
Bytes DecodeInPieces(TStreamDecoder& decoder, const Bytes& packed, size_t unpacked, size_t piece)
{
    Bytes out;
    TPackedSource source(packed);
    decoder.Restart();
    while (out.size() < unpacked) {
        Bytes chunk(std::min(piece, unpacked - out.size()), Z);
        const size_t n = decoder.DecodeMore(source, source.Left(), chunk);
        if (n == 0)
            break;
        out.insert(out.end(), chunk.begin(), chunk.begin() + long(n));
    }
    return out;
}

} // namespace

// Readers decode a strip or an image a band of rows at a time: runs,
// literals and LZW strings cut at the end of one piece go on in the next,
// so the pieces together are exactly the one-call decoding.
TEST(Decoders, StreamsDecodedInPiecesGiveTheSameBytes)
{
    struct Case { std::string name; std::function<std::unique_ptr<TStreamDecoder>()> make; Bytes packed; Bytes expected; };
    std::vector<Case> cases;
    auto packbits = [] { return std::make_unique<TPackbitsRLE>(); };
    auto pcx = [] { return std::make_unique<TPCXRLE>(); };
    auto tiffLzw = [] { return std::make_unique<TTIFFLZW>(); };
    auto gifLzw = [] {
        auto d = std::make_unique<TGIFLZW>();
        d->InitialCodeSize = 8;
        return d;
    };
    cases.push_back({"packbits run and literal across pieces", packbits, {0xF9, 7, 4, 1, 2, 3, 4, 5, 0x80, 0xFF, 9},
                     {7, 7, 7, 7, 7, 7, 7, 7, 1, 2, 3, 4, 5, 9, 9}});
    cases.push_back({"pcx runs across lines", pcx, {0xFF, 3, 0xC2, 4, 8, 0xC1, 6}, Bytes(63, 3)});
    cases.back().expected.insert(cases.back().expected.end(), {4, 4, 8, 6});
    {
        CodeWriter t{true, {}}, g{false, {}};
        for (unsigned code : {256u, 'a' + 0u, 'b' + 0u, 258u, 260u, 'c' + 0u, 261u, 262u, 257u}) {
            t.Put(code, 9);
            g.Put(code, 9);
        }
        // a b <ab> <aba> c <abac> <ca>
        const Bytes text = {'a', 'b', 'a', 'b', 'a', 'b', 'a', 'c', 'a', 'b', 'a', 'c', 'c', 'a'};
        cases.push_back({"tiff lzw strings across pieces", tiffLzw, t.Finish(), text});
        cases.push_back({"gif lzw strings across pieces", gifLzw, g.Finish(), text});
    }
    if (!PillowPython().empty()) {
        TempDir dir;
        for (const char* compression : {"tiff_lzw", "packbits"}) {
            const std::vector<Strip> strips = PillowTiffStrips(dir, compression);
            ASSERT_FALSE(strips.empty());
            const bool lzw = std::string(compression) == "tiff_lzw";
            for (size_t i = 0; i < strips.size(); i += 3)
                cases.push_back({std::string("Pillow ") + compression + " strip " + std::to_string(i),
                                 lzw ? std::function<std::unique_ptr<TStreamDecoder>()>(tiffLzw) : packbits,
                                 strips[i].packed, strips[i].unpacked});
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto whole = c.make();
        ASSERT_EQ(Decode(*whole, c.packed, c.expected.size()), c.expected);
        for (size_t piece : {size_t(1), size_t(3), size_t(7), size_t(64), size_t(1000)}) {
            auto decoder = c.make();
            EXPECT_EQ(DecodeInPieces(*decoder, c.packed, c.expected.size(), piece), c.expected) << "pieces of " << piece;
        }
    }
}
