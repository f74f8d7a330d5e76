// The sizes a HEIF or AVIF file makes its decoders allocate, read before
// decoding: from real encoders' files and from boxes built byte by byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/heifdecodesizes.h"
#include "imageio/heifreader.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Box(const char* type, const Bytes& payload)
{
    TEndianBytes b{true, {}};
    b.U32(uint32_t(8 + payload.size())).Text(type).Raw(payload);
    return b.Data;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// One item of `type`, version-2 item info, its data in idat or at the end of
// the file after a 'mdat' header; `properties` go into ipco.
Bytes HeifWithItem(const char* type, const Bytes& data, bool inIdat, const Bytes& properties = {})
{
    TEndianBytes infe{true, {}};
    infe.U32(0x02000000).U16(1).U16(0).Text(type);
    TEndianBytes iinf{true, {}};
    iinf.U32(0).U16(1).Raw(Box("infe", infe.Data));
    const Bytes ftyp = Box("ftyp", TEndianBytes{true, {}}.Text("heic").U32(0).Text("mif1heic").Data);
    const Bytes iprp = Box("iprp", Box("ipco", properties));
    // iloc version 1: 4-byte offsets and lengths, no base offset.
    auto iloc = [&](uint32_t offset) {
        TEndianBytes l{true, {}};
        l.U32(0x01000000).U16(0x4400).U16(1).U16(1).U16(inIdat ? 1 : 0).U16(0).U16(1).U32(offset).U32(
            uint32_t(data.size()));
        return Box("iloc", l.Data);
    };
    auto meta = [&](uint32_t offset) {
        Bytes payload = Cat({Bytes{0, 0, 0, 0}, Box("iinf", iinf.Data), iloc(offset), iprp});
        if (inIdat)
            payload = Cat({payload, Box("idat", data)});
        return Box("meta", payload);
    };
    if (inIdat)
        return Cat({ftyp, meta(0)});
    const size_t before = ftyp.size() + meta(0).size() + 8;
    return Cat({ftyp, meta(uint32_t(before)), Box("mdat", data)});
}

// An HEVC sequence parameter set coding width x height (4:2:0, one layer).
Bytes HevcSequence(unsigned width, unsigned height)
{
    std::vector<bool> bits;
    auto put = [&](uint64_t v, unsigned n) {
        for (unsigned i = n; i-- > 0;)
            bits.push_back((v >> i) & 1);
    };
    auto golomb = [&](uint64_t v) {
        unsigned n = 0;
        while ((v + 1) >> (n + 1))
            ++n;
        put(0, n);
        put(v + 1, n + 1);
    };
    put(0, 4), put(0, 3), put(1, 1);
    put(1, 8), put(0x60000000, 32), put(0x9, 4), put(0, 44), put(93, 8); // Main profile, level 3.1
    golomb(0), golomb(1), golomb(width), golomb(height);
    put(1, 1); // and more that is not read
    while (bits.size() % 8)
        bits.push_back(false);
    Bytes nal = {0x42, 0x01};
    unsigned zeros = 0;
    for (size_t i = 0; i < bits.size(); i += 8) {
        uint8_t byte = 0;
        for (size_t j = 0; j < 8; ++j)
            byte = uint8_t(byte << 1 | bits[i + j]);
        if (zeros >= 2 && byte <= 3) { // emulation prevention, as encoders write it
            nal.push_back(3);
            zeros = 0;
        }
        zeros = byte == 0 ? zeros + 1 : 0;
        nal.push_back(byte);
    }
    return nal;
}

Bytes LengthPrefixed(const Bytes& nal)
{
    return Cat({TEndianBytes{true, {}}.U32(uint32_t(nal.size())).Data, nal});
}

} // namespace

TEST(HeifDecodeSizes, CodedSizesOfRealEncodersFiles)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string png = dir.File("in.png");
    ASSERT_EQ(RunCommand(ImageMagick() + " -size 100x80 gradient:red-blue " + Quote(png)), 0);
    struct Case { const char* name; std::string write, ext; };
    const Case cases[] = {
        {"HEIC from heif-enc", "heif-enc -q 60 -o {out} {in} > /dev/null", "heic"},
        {"AVIF from heif-enc", "heif-enc -A -q 60 -o {out} {in} > /dev/null", "avif"},
        {"HEIC from ImageMagick", ImageMagick() + " {in} {out}", "heic"},
        {"AVIF from ImageMagick", ImageMagick() + " {in} {out}", "avif"},
    };
    int written = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.write.rfind("heif-enc", 0) == 0 && !HaveProgram("heif-enc"))
            continue;
        const std::string out = dir.File(std::string("out.") + c.ext);
        if (RunCommand(WithPaths(c.write, png, out)) != 0)
            continue; // a writer built without this encoder
        ++written;
        const Bytes f = ReadFile(out);
        const auto sizes = HEIFDecodeSizes(f.data(), f.size());
        ASSERT_TRUE(sizes);
        ASSERT_FALSE(sizes->empty());
        // Coded sizes round up to the codec's block; never below the picture.
        for (const TCodedSize& s : *sizes) {
            EXPECT_GE(s.Width, 100u);
            EXPECT_LT(s.Width, 100u + 64);
            EXPECT_GE(s.Height, 80u);
            EXPECT_LT(s.Height, 80u + 64);
        }
        EXPECT_EQ(LoadReader<THEIFGraphic>(f).Width(), 100);
    }
    EXPECT_GT(written, 0);
}

TEST(HeifDecodeSizes, SizesBuiltByteByByte)
{
    // Sequence parameter sets inside the item's data, behind four-byte
    // lengths, after another unit; and in the hvcC property.
    const Bytes slice = {0x26, 0x01, 0xAF, 0x00, 0x00, 0x00};
    const Bytes sps = HevcSequence(40840, 12337);
    {
        const Bytes f = HeifWithItem("hvc1", Cat({LengthPrefixed(slice), LengthPrefixed(sps)}), false);
        const auto sizes = HEIFDecodeSizes(f.data(), f.size());
        ASSERT_TRUE(sizes);
        EXPECT_EQ(*sizes, (std::vector<TCodedSize>{{40840, 12337}}));
    }
    {
        TEndianBytes hvcC{true, {}};
        hvcC.U8(1).Fill(0, 20).U8(0xF3).U8(1).U8(0x21).U16(1).U16(uint16_t(sps.size())).Raw(sps);
        const Bytes f = HeifWithItem("hvc1", LengthPrefixed(slice), false, Box("hvcC", hvcC.Data));
        const auto sizes = HEIFDecodeSizes(f.data(), f.size());
        ASSERT_TRUE(sizes);
        EXPECT_EQ(*sizes, (std::vector<TCodedSize>{{40840, 12337}}));
    }
    { // the same set cut short, or behind a length past the end: nothing read, no fault
        const Bytes cut(sps.begin(), sps.begin() + 10);
        const Bytes f = HeifWithItem("hvc1", Cat({LengthPrefixed(cut), TEndianBytes{true, {}}.U32(99999).Data}), false);
        const auto sizes = HEIFDecodeSizes(f.data(), f.size());
        ASSERT_TRUE(sizes);
        EXPECT_TRUE(sizes->empty());
    }
    { // grid canvases with 16- and 32-bit sizes, and an overlay's, from idat
        const Bytes grid16 = {0, 0, 0, 0, 0x9F, 0x88, 0x30, 0x31};
        const Bytes grid32 = {0, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0x20, 0};
        const Bytes overlay = {0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x10, 0, 0x08, 0};
        struct Case { const char* type; Bytes data; TCodedSize size; };
        for (const Case& c : {Case{"grid", grid16, {40840, 12337}}, Case{"grid", grid32, {65536, 8192}},
                              Case{"iovl", overlay, {4096, 2048}}}) {
            SCOPED_TRACE(c.type);
            const Bytes f = HeifWithItem(c.type, c.data, true);
            const auto sizes = HEIFDecodeSizes(f.data(), f.size());
            ASSERT_TRUE(sizes);
            EXPECT_EQ(*sizes, (std::vector<TCodedSize>{c.size}));
        }
    }
    { // a version-1 location table stating an extent index it does not hold:
      // libheif reads it without one, and so is it read as well
        Bytes f = HeifWithItem("grid", {0, 0, 0, 0, 0x9F, 0x88, 0x30, 0x31}, true);
        const auto iloc = std::search(f.begin(), f.end(), std::begin("iloc"), std::end("iloc") - 1);
        ASSERT_NE(iloc, f.end());
        iloc[4 + 4 + 1] |= 2; // index size, the low four bits after the other sizes
        const auto sizes = HEIFDecodeSizes(f.data(), f.size());
        ASSERT_TRUE(sizes);
        EXPECT_NE(std::find(sizes->begin(), sizes->end(), TCodedSize{40840, 12337}), sizes->end());
    }
    { // an AV1 sequence header (reduced still picture) behind a temporal delimiter
        const Bytes obus = {0x12, 0x00, 0x0A, 0x06, 0x18, 0x37, 0x7F, 0xFF, 0xFF, 0xFC};
        const Bytes f = HeifWithItem("av01", obus, false);
        const auto sizes = HEIFDecodeSizes(f.data(), f.size());
        ASSERT_TRUE(sizes);
        EXPECT_EQ(*sizes, (std::vector<TCodedSize>{{16384, 16384}}));
    }
    { // more units than any picture: refused before the walk takes long
        const Bytes f = HeifWithItem("hvc1", Bytes(5u << 20, 0), false);
        EXPECT_FALSE(HEIFDecodeSizes(f.data(), f.size()));
    }
    { // a location table of zero-width fields stating 131070 extents in 16 bytes
        TEndianBytes iloc{true, {}};
        iloc.U32(0x01000000).U16(0).U16(2);
        for (unsigned id : {1u, 2u})
            iloc.U16(id).U16(0).U16(0).U16(0xFFFF);
        const Bytes f = Cat({Box("ftyp", TEndianBytes{true, {}}.Text("heic").U32(0).Data),
                             Box("meta", Cat({Bytes{0, 0, 0, 0}, Box("iloc", iloc.Data)}))});
        EXPECT_FALSE(HEIFDecodeSizes(f.data(), f.size()));
    }
    { // boxes whose sizes run past their parent: nothing read
        Bytes f = HeifWithItem("hvc1", LengthPrefixed(sps), false);
        f[24] = 0x7F; // meta's size, after the 24-byte ftyp
        const auto sizes = HEIFDecodeSizes(f.data(), f.size());
        ASSERT_TRUE(sizes);
        EXPECT_TRUE(sizes->empty());
    }
}
