#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sys/stat.h>

#include "document/documentreader.h"
#include "document/documentwriter.h"
#include "filebuilder.h"
#include "samples.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

std::string Describe(const TDocument& d)
{
    std::string s = "generation " + std::to_string(d.Generation) + ", " + std::to_string(d.Pages.size()) + " pages:";
    for (const TDocumentPage& p : d.Pages) {
        s += " [" + std::to_string(p.Width) + "x" + std::to_string(p.Height) + " o" + std::to_string(p.Orientation);
        for (const TDocumentBox& b : p.Boxes)
            s += " (" + std::to_string(b.Left) + "," + std::to_string(b.Top) + " " + std::to_string(b.Width) + "x" +
                 std::to_string(b.Height) + " r" + std::to_string(b.Rotation) + " '" + b.FontName + "' tag" +
                 std::to_string(b.Tag) + " kind" + std::to_string(b.Kind) + " '" + b.FileName + "' " +
                 std::to_string(b.Lines.size()) + " lines)";
        s += "]";
    }
    return s;
}

bool IsDamage(const std::vector<uint8_t>& bytes)
{
    try {
        ReadDocument(bytes);
    } catch (const EInvalidDocument& e) {
        EXPECT_STREQ(e.what(), "I do not recognize the file as being valid");
        return true;
    }
    return false;
}

std::vector<uint8_t> Generation3Page(int32_t pages, int32_t boxes)
{
    TFileBuilder f;
    f.Int32(3).Int32(pages).Int32(boxes).Pad();
    return f.Bytes;
}

} // namespace

TEST(DocumentReader, ReadsEveryGenerationBuiltByteByByte)
{
    for (const TSample& sample : AllSamples()) {
        const TDocument read = ReadDocument(sample.Bytes);
        EXPECT_EQ(read, sample.Document) << sample.Name << "\n read: " << Describe(read)
                                         << "\n want: " << Describe(sample.Document);
    }
}

TEST(DocumentReader, WhatEachGenerationCarries)
{
    struct Case { TSample sample; bool older, style, links; };
    for (const Case& c : {Case{Generation1Sample(), true, false, false},
                          Case{Generation2Sample(), true, true, false},
                          Case{Generation3Sample(), false, true, true}}) {
        const TDocument d = ReadDocument(c.sample.Bytes);
        EXPECT_EQ(d.IsOlderFormat(), c.older) << c.sample.Name;
        EXPECT_EQ(d.HasBoxStyle(), c.style) << c.sample.Name;
        EXPECT_EQ(d.HasLinks(), c.links) << c.sample.Name;
    }
    const TDocument d2 = ReadDocument(Generation2Sample().Bytes);
    ASSERT_EQ(d2.Pages.at(0).Boxes.size(), 2u);
    EXPECT_TRUE(d2.Pages[0].Boxes[1].TextBox());
    EXPECT_EQ(d2.Pages[0].Boxes[1].Alignment(), TAlignment::taCenter);
    EXPECT_EQ(d2.Pages[0].Boxes[0].Alignment(), TAlignment::taRightJustify);
}

TEST(DocumentReader, GenerationFromTheFirstByte)
{
    struct Case { int byte; int generation; };
    for (const Case c : {Case{'1', 1}, {0x02, 2}, {0x03, 3}, {0x00, 0}, {0x01, 0}, {0x04, 0}, {'2', 0}, {'3', 0},
                         {0xFF, 0}, {0x33, 0}})
        EXPECT_EQ(DocumentGeneration(uint8_t(c.byte)), c.generation) << c.byte;
}

TEST(DocumentReader, HeaderOfZeroPages)
{
    TFileBuilder g1, g2, g3;
    g1.Raw("1.00").Field(0, 4).Field(0, 4).Pad();
    g2.Int32(2).Int32(0).Int32(0).Pad();
    g3.Int32(3).Int32(0).Int32(7).Pad();
    for (const auto& bytes : {g1.Bytes, g2.Bytes, g3.Bytes}) {
        const TDocument d = ReadDocument(bytes);
        EXPECT_TRUE(d.Pages.empty()) << int(bytes[0]);
    }
    EXPECT_EQ(ReadDocument(g3.Bytes).BoxCount, 7) << "the header's count is kept as read";
}

// Each case changes a valid file into a damaged one.
TEST(DocumentReader, DamageIsReportedAsNotValid)
{
    const std::vector<uint8_t> g3 = Generation3Sample().Bytes;
    const std::vector<uint8_t> g1 = Generation1Sample().Bytes;
    // Offsets in the generation 3 sample: header 1036, page 1040, then the
    // first box record (font name length at +24).
    const size_t firstBox = 1036 + 1040;
    const auto set32 = [](std::vector<uint8_t> b, size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
        return b;
    };
    const auto gen1 = [](const std::function<void(TFileBuilder&)>& fill) {
        TFileBuilder f;
        fill(f);
        return f.Bytes;
    };
    const std::string longPath(2000, 'p');
    struct Case { const char* name; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        {"empty file", {}},
        {"unknown first byte", set32(g3, 0, 4)},
        {"a text file", {'h', 'e', 'l', 'l', 'o'}},
        {"header only half there", std::vector<uint8_t>(g3.begin(), g3.begin() + 8)},
        {"negative page count", set32(g3, 4, -1)},
        {"huge page count", set32(g3, 4, 0x7FFFFFFF)},
        {"one page more than there is", set32(g3, 4, 4)},
        {"negative box count", set32(g3, 1036, -3)},
        {"huge box count", set32(g3, 1036, 0x7FFFFFFF)},
        {"box count past the file", set32(g3, 1036, 5)},
        {"negative font name length", set32(g3, firstBox + 24, -1)},
        {"font name length past the file", set32(g3, firstBox + 24, int32_t(g3.size()))},
        {"huge font name length", set32(g3, firstBox + 24, 0x7FFFFFFF)},
        {"negative string length", set32(g3, firstBox + 24 + 5 + 24, -5)},
        {"string length past the file", set32(g3, firstBox + 24 + 5 + 24, 0x40000000)},
        {"zero pages but a page record follows",
         [&] { auto b = set32(g3, 4, 0); return b; }()},
        {"generation 1 path without its CR", gen1([](TFileBuilder& f) {
             f.Raw("1.00").Field(1, 4).Field(1, 4).Pad().Field(1, 4).Field(0, 4).Field(283, 8).Field(400, 8).Pad();
             f.Field(0, 8).Field(0, 8).Field(10, 8).Field(10, 8).Field(0, 8).Raw("/pics/a.jpg");
         })},
        {"generation 1 path of 2000 bytes", gen1([&](TFileBuilder& f) {
             f.Raw("1.00").Field(1, 4).Field(1, 4).Pad().Field(1, 4).Field(0, 4).Field(283, 8).Field(400, 8).Pad();
             f.Field(0, 8).Field(0, 8).Field(10, 8).Field(10, 8).Field(0, 8).Raw(longPath).Raw("\r\n").Pad();
         })},
        {"generation 1 file ending after the CR", gen1([](TFileBuilder& f) {
             f.Raw("1.00").Field(1, 4).Field(1, 4).Pad().Field(1, 4).Field(0, 4).Field(283, 8).Field(400, 8).Pad();
             f.Field(0, 8).Field(0, 8).Field(10, 8).Field(10, 8).Field(0, 8).Raw("/a.jpg\r");
         })},
        {"generation 1 number with a letter", gen1([](TFileBuilder& f) { f.Raw("1.00").Raw("  1x").Field(0, 4).Pad(); })},
        {"generation 1 number of spaces only", gen1([](TFileBuilder& f) { f.Raw("1.00").Raw("    ").Field(0, 4).Pad(); })},
        {"generation 1 number left-aligned", gen1([](TFileBuilder& f) { f.Raw("1.00").Raw("1   ").Field(0, 4).Pad(); })},
        {"generation 1 negative page count", gen1([](TFileBuilder& f) { f.Raw("1.00").Field(-1, 4).Field(0, 4).Pad(); })},
        {"generation 1 widened field", gen1([](TFileBuilder& f) {
             f.Raw("1.00").Field(1, 4).Field(1, 4).Pad().Field(1, 4).Field(0, 4).Field(123456789, 8).Field(400, 8).Pad();
         })},
        {"generation 1 cut inside a page's padding", std::vector<uint8_t>(g1.begin(), g1.begin() + 1036 + 1000)},
        {"a page of 0 boxes lost to a miscount", [&] {
             auto b = set32(g3, 4, 2); // three pages stored
             return b;
         }()},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(IsDamage(c.bytes)) << c.name;
}

TEST(DocumentReader, CutAtEveryOffsetIsDamage)
{
    for (const TSample& sample : AllSamples()) {
        for (size_t cut = 0; cut < sample.Bytes.size(); ++cut) {
            const std::vector<uint8_t> shorter(sample.Bytes.begin(), sample.Bytes.begin() + long(cut));
            bool damage = false;
            try {
                ReadDocument(shorter);
            } catch (const EInvalidDocument&) {
                damage = true;
            }
            if (!damage) {
                ADD_FAILURE() << sample.Name << " cut at " << cut << " read as a document";
                break;
            }
        }
    }
}

// The older program never looked at these; a layout that is otherwise whole opens.
TEST(DocumentReader, LenientWhereTheOlderProgramWas)
{
    const TSample g3 = Generation3Sample();
    const TSample g1 = Generation1Sample();
    struct Case { const char* name; std::vector<uint8_t> bytes; TDocument expected; };
    std::vector<Case> cases;

    auto padding = g3.Bytes;
    for (size_t i = 12; i < 1036; ++i)
        padding[i] = 0xAA;
    cases.push_back({"padding that is not zero", padding, g3.Document});

    auto zeros = g3.Bytes;
    zeros.insert(zeros.end(), 5000, 0);
    cases.push_back({"trailing zero bytes", zeros, g3.Document});

    auto stray = g3.Bytes;
    stray.insert(stray.end(), 1039, 0x1A);
    cases.push_back({"trailing bytes too few for any record", stray, g3.Document});

    auto header = g1.Bytes;
    header[1] = '7';
    cases.push_back({"generation 1 header other than 1.00", header, g1.Document});

    auto lf = g1.Bytes;
    const size_t cr = std::string(lf.begin(), lf.end()).find('\r');
    lf[cr + 1] = 'X';
    cases.push_back({"generation 1 byte after the CR not LF", lf, g1.Document});

    auto count = g3.Bytes;
    count[8] = 0xFF, count[9] = 0xFF, count[10] = 0xFF, count[11] = 0xFF;
    TDocument negative = g3.Document;
    negative.BoxCount = -1;
    cases.push_back({"header box count negative", count, negative});

    TFileBuilder odd;
    odd.Int32(3).Int32(1).Int32(1).Pad().Int32(1).Int32(7).Int32(-5).Int32(0).Pad();
    AddBox(odd, 3, {0, 0, -4, 0, 45, 0, "", 0, 0, 9, -2, 7, "/x.jpg"});
    TDocument oddDoc;
    oddDoc.BoxCount = 1;
    TDocumentBox oddBox;
    oddBox.Width = -4;
    oddBox.Rotation = 45;
    oddBox.AlignmentCode = 9;
    oddBox.Tag = -2;
    oddBox.Kind = 7;
    oddBox.FileName = "/x.jpg";
    oddDoc.Pages.push_back({7, -5, 0, {oddBox}});
    cases.push_back({"values out of their range are kept", odd.Bytes, oddDoc});

    for (const Case& c : cases) {
        try {
            EXPECT_EQ(ReadDocument(c.bytes), c.expected) << c.name;
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.name << ": " << e.what();
        }
    }
    const TDocumentBox box = ReadDocument(odd.Bytes).Pages[0].Boxes[0];
    EXPECT_FALSE(box.TextBox()) << "kind 7 is a picture box";
    EXPECT_EQ(box.Alignment(), TAlignment::taLeftJustify);
}

TEST(DocumentReader, TrailingBytesThatCouldBeRecordsAreDamage)
{
    auto bytes = Generation3Sample().Bytes;
    bytes.insert(bytes.end(), 1040, 0);
    bytes[bytes.size() - 1040] = 1;
    EXPECT_TRUE(IsDamage(bytes));
    EXPECT_TRUE(IsDamage([] {
        auto b = Generation1Sample().Bytes;
        b.insert(b.end(), 2000, ' ');
        return b;
    }()));
}

// A page's box count one off, where the records after it still parse: the
// next page's record read as a box and the later pages shifted into padding.
// Only the header's count, held against the pages', tells.
TEST(DocumentReader, APageMiscountThatStillParsesIsDamage)
{
    // Three pages of 2, 0 and 1 boxes as the program writes them, with the
    // box count of one page (and the header's count, when given) changed.
    const auto layout = [](int first, int second, int third, int header, size_t zerosAfter) {
        const TRawBox box = {10, 10, 110, 88, 0, 44, "Arial", 10, 0, 2, 0, 0, "/pics/photo.jpg"};
        TFileBuilder f;
        f.Int32(3).Int32(3).Int32(header).Pad();
        f.Int32(first).Int32(0).Int32(330).Int32(400).Pad();
        AddBox(f, 3, box);
        AddBox(f, 3, box);
        f.Int32(second).Int32(0).Int32(330).Int32(400).Pad();
        f.Int32(third).Int32(0).Int32(330).Int32(400).Pad();
        AddBox(f, 3, box);
        f.Bytes.insert(f.Bytes.end(), zerosAfter, 0);
        return f.Bytes;
    };
    ASSERT_EQ(ReadDocument(layout(2, 0, 1, 3, 0)).CountBoxes(), 3);
    // Each read without complaint before. The shifted ones leave data in
    // padding whatever the header says (the shifted page lost its box, so
    // the counts agree); a box read from trailing zeros only the header's
    // count can tell.
    struct Case { const char* name; int first, second, third; size_t zeros; bool shifted; };
    const Case cases[] = {
        {"first page one box more", 3, 0, 1, 0, true},
        {"empty page one box more", 2, 1, 1, 0, true},
        {"last page one box more, zeros after it", 2, 0, 2, 1076, false},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(IsDamage(layout(c.first, c.second, c.third, 3, c.zeros))) << c.name;
        EXPECT_EQ(IsDamage(layout(c.first, c.second, c.third, c.first + c.second + c.third, c.zeros)), c.shifted)
            << c.name;
    }
}

TEST(DocumentReader, HugeCountsAreCheckedBeforeReserving)
{
    // Trusted, these counts would reserve gigabytes and fail with bad_alloc
    // instead of the damage message.
    for (int32_t pages : {0x7FFFFFFF, 0x10000000, 2})
        EXPECT_TRUE(IsDamage(Generation3Page(pages, 0))) << pages;
    for (int32_t boxes : {0x7FFFFFFF, 0x08000000}) {
        TFileBuilder f;
        f.Int32(3).Int32(1).Int32(0).Pad().Int32(boxes).Int32(0).Int32(400).Int32(283).Pad();
        f.Bytes.resize(f.Bytes.size() + 100000);
        EXPECT_TRUE(IsDamage(f.Bytes)) << boxes;
    }
}

TEST(DocumentReader, TenThousandBoxesInMilliseconds)
{
    TDocument d;
    d.Pages.resize(10);
    for (int p = 0; p < 10; ++p)
        for (int b = 0; b < 1000; ++b) {
            TDocumentBox box;
            box.Left = b;
            box.FontName = "Arial";
            box.FileName = "/home/ann/Bilder/IMG_" + std::to_string(p * 1000 + b) + ".jpg";
            d.Pages[size_t(p)].Boxes.push_back(box);
        }
    const std::vector<uint8_t> bytes = DocumentBytes(d);
    const auto start = std::chrono::steady_clock::now();
    const TDocument read = ReadDocument(bytes);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(read.CountBoxes(), 10000);
    EXPECT_EQ(read.BoxCount, 10000);
    EXPECT_EQ(read.Pages[9].Boxes[999].FileName, "/home/ann/Bilder/IMG_9999.jpg");
    EXPECT_LT(ms.count(), 1000) << "read " << bytes.size() << " bytes";
    std::printf("10,000 boxes (%zu bytes) read in %lld ms\n", bytes.size(), (long long)ms.count());
}

TEST(DocumentReader, ReadsFromFiles)
{
    TempDir dir;
    const TSample g2 = Generation2Sample();
    WriteFile(dir.File("a.tsd"), g2.Bytes);
    EXPECT_EQ(ReadDocumentFile(dir.File("a.tsd")), g2.Document);

    WriteFile(dir.File("photo.jpg"), std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xE0});
    EXPECT_THROW(ReadDocumentFile(dir.File("photo.jpg")), EInvalidDocument);
    WriteFile(dir.File("empty.tsd"), std::vector<uint8_t>{});
    EXPECT_THROW(ReadDocumentFile(dir.File("empty.tsd")), EInvalidDocument);

    ASSERT_EQ(::mkfifo(dir.File("pipe.tsd").c_str(), 0600), 0);
    for (const std::string& path : {dir.File("missing.tsd"), dir.Path().string(), dir.File("pipe.tsd")}) {
        try {
            ReadDocumentFile(path);
            ADD_FAILURE() << path << " read";
        } catch (const EInOutError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
}
