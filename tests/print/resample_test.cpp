#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "print/core/contributors.h"
#include "print/core/filters.h"
#include "print/core/resample.h"
#include "reference_resample.h"

using namespace tessaria;

namespace {

// Restores the global switches whatever a test does with them.
class ResampleSwitches : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetResampleThreads(0);
        SetResampleKernels(TResampleKernels::Auto);
    }
};

TBitmap MakeBitmap(int w, int h)
{
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf24bit);
    b.SetSize(w, h);
    return b;
}

void Put(TBitmap& b, int x, int y, uint8_t blue, uint8_t green, uint8_t red)
{
    uint8_t* p = b.ScanLine(y) + 3 * x;
    p[0] = blue;
    p[1] = green;
    p[2] = red;
}

std::vector<uint8_t> Pixels(const TBitmap& b)
{
    std::vector<uint8_t> bytes;
    for (int y = 0; y < b.Height(); ++y)
        bytes.insert(bytes.end(), b.ScanLine(y), b.ScanLine(y) + 3 * b.Width());
    return bytes;
}

// Noise, hard black/white edges (which make Lanczos and Mitchell overshoot and
// clamp) or smooth ramps.
TBitmap RandomPicture(int w, int h, std::mt19937& rng)
{
    TBitmap b = MakeBitmap(w, h);
    const int kind = int(rng() % 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                uint8_t v;
                if (kind == 0)
                    v = uint8_t(rng());
                else if (kind == 1)
                    v = (rng() % 2) ? 255 : 0;
                else
                    v = uint8_t((x * 7 + y * 3 + c * 50) & 255);
                b.ScanLine(y)[3 * x + c] = v;
            }
    return b;
}

struct Path {
    TResampleKernels kernels;
    int threads;
};

const Path Paths[] = {
    {TResampleKernels::Plain, 1}, {TResampleKernels::Plain, 2}, {TResampleKernels::Avx2, 1},
    {TResampleKernels::Avx2, 2},  {TResampleKernels::Avx512, 1}, {TResampleKernels::Avx512, 2},
};

std::string Describe(int sw, int sh, int dw, int dh, TResampleFilter f, float radius)
{
    return std::to_string(sw) + "x" + std::to_string(sh) + " -> " + std::to_string(dw) + "x" + std::to_string(dh) +
           " " + FilterName(f) + " r=" + std::to_string(radius);
}

// Every path against the plain reading, for one picture and size.
void ExpectAllPathsMatch(const TBitmap& source, int dw, int dh, TResampleFilter filter, float radius)
{
    TBitmap expected = MakeBitmap(dw, dh);
    reference::Resample(filter, radius, source, expected);
    const std::vector<uint8_t> want = Pixels(expected);
    for (const Path& path : Paths) {
        SetResampleKernels(path.kernels);
        SetResampleThreads(path.threads);
        TBitmap got = MakeBitmap(dw, dh);
        Resample(filter, radius, source, got);
        ASSERT_EQ(Pixels(got), want) << Describe(source.Width(), source.Height(), dw, dh, filter, radius) << " on "
                                     << ResampleKernelsName(ActiveResampleKernels()) << " with " << path.threads
                                     << " threads";
    }
}

} // namespace

TEST(ResampleFilters, ValuesAtKnownPoints)
{
    struct Case { TResampleFilter f; float x; float want; };
    const float pi = 3.14159265358979f;
    const Case cases[] = {
        {TResampleFilter::Box, 0.5f, 1.0f},   {TResampleFilter::Box, -0.5f, 0.0f},
        {TResampleFilter::Box, 0.0f, 1.0f},   {TResampleFilter::Box, 0.51f, 0.0f},
        {TResampleFilter::Triangle, -0.25f, 0.75f}, {TResampleFilter::Triangle, 1.0f, 0.0f},
        {TResampleFilter::Hermite, 0.5f, 0.5f},     {TResampleFilter::Hermite, 0.25f, 0.84375f},
        {TResampleFilter::Bell, 0.0f, 0.75f},       {TResampleFilter::Bell, 1.0f, 0.125f},
        {TResampleFilter::Bell, -1.5f, 0.0f},       {TResampleFilter::Spline, 0.0f, 2.0f / 3.0f},
        {TResampleFilter::Spline, 1.0f, 1.0f / 6.0f}, {TResampleFilter::Spline, -1.5f, 0.125f / 6.0f},
        {TResampleFilter::Lanczos3, 0.0f, 1.0f},
        {TResampleFilter::Lanczos3, 0.5f, (2.0f / pi) * (std::sin(pi / 6) / (pi / 6))},
        {TResampleFilter::Lanczos3, -1.5f, (std::sin(1.5f * pi) / (1.5f * pi)) * (std::sin(0.5f * pi) / (0.5f * pi))},
        {TResampleFilter::Lanczos3, 3.0f, 0.0f},
        {TResampleFilter::Mitchell, 0.0f, 16.0f / 18.0f}, {TResampleFilter::Mitchell, 1.0f, 1.0f / 18.0f},
        {TResampleFilter::Mitchell, -0.5f, (7 * 0.125f - 12 * 0.25f + 16.0f / 3) / 6},
        {TResampleFilter::Mitchell, 1.5f, (-7.0f / 3 * 3.375f + 12 * 2.25f - 30 + 32.0f / 3) / 6},
        {TResampleFilter::Mitchell, 2.0f, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(FilterValue(c.f, c.x), c.want, 2e-6) << FilterName(c.f) << "(" << c.x << ")";
    // Lanczos3 and Mitchell have negative lobes.
    EXPECT_LT(FilterValue(TResampleFilter::Lanczos3, 1.5f), 0.0f);
    EXPECT_LT(FilterValue(TResampleFilter::Mitchell, 1.5f), 0.0f);
}

TEST(ResampleFilters, NamesRadiiAndIndices)
{
    const char* names[] = {"Box", "Triangle", "Hermite", "Bell", "Spline", "Lanczos3", "Mitchell"};
    const float radii[] = {0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
    for (int i = 0; i < FilterCount; ++i) {
        EXPECT_STREQ(FilterName(FilterFromIndex(i)), names[i]) << i;
        EXPECT_EQ(DefaultRadius(FilterFromIndex(i)), radii[i]) << i;
    }
    EXPECT_THROW(FilterFromIndex(7), Exception);
    EXPECT_THROW(FilterFromIndex(-1), Exception);
}

TEST(ResampleContributors, TriangleHalvingThousandPixels)
{
    const TContributorList list = BuildContributors(TResampleFilter::Triangle, 1.0f, 1000, 500);
    ASSERT_EQ(list.size(), 500u);
    EXPECT_FLOAT_EQ(ResampleScale(1000, 500), 499.0f / 999.0f);
    EXPECT_EQ(ContributorRoom(1.0f, ResampleScale(1000, 500)), 5);

    struct Expected { int i; std::vector<std::pair<int, int>> weightPixel; };
    const Expected cases[] = {
        {0, {{64, 1}, {128, 0}, {64, 1}}},
        {250, {{32, 499}, {96, 500}, {96, 501}, {32, 502}}},
        {499, {{64, 998}, {128, 999}, {64, 999}}}, // index 1000 reads pixel 999
    };
    for (const Expected& c : cases) {
        const TContributorEntry& e = list[size_t(c.i)];
        ASSERT_EQ(e.N, int(c.weightPixel.size())) << "pixel " << c.i;
        for (size_t k = 0; k < c.weightPixel.size(); ++k) {
            EXPECT_EQ(e.Contributors[k].Weight, c.weightPixel[k].first) << "pixel " << c.i << " #" << k;
            EXPECT_EQ(e.Contributors[k].Pixel, c.weightPixel[k].second) << "pixel " << c.i << " #" << k;
        }
    }
}

TEST(ResampleContributors, BoxEnlargingTwoToThree)
{
    EXPECT_FLOAT_EQ(ResampleScale(2, 3), 2.0f);
    const TContributorList list = BuildContributors(TResampleFilter::Box, 0.5f, 2, 3);
    ASSERT_EQ(list.size(), 3u);
    // Centers 0, 0.5, 1: the middle takes the left column alone.
    const int pixels[] = {0, 0, 1};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(list[size_t(i)].N, 1) << i;
        EXPECT_EQ(list[size_t(i)].Contributors[0].Weight, 256) << i;
        EXPECT_EQ(list[size_t(i)].Contributors[0].Pixel, pixels[i]) << i;
    }
}

TEST(ResampleContributors, ScalesAndReflection)
{
    struct Case { int sw, dw; float scale; };
    for (const Case c : {Case{1, 7, 7.0f}, {1, 1, 1.0f}, {10, 1, 0.1f}, {5, 9, 2.0f}, {9, 5, 0.5f}})
        EXPECT_FLOAT_EQ(ResampleScale(c.sw, c.dw), c.scale) << c.sw << " -> " << c.dw;

    struct Fold { int64_t j; int32_t n; int32_t want; };
    const Fold folds[] = {{-1, 10, 1}, {10, 10, 9}, {-9, 10, 9}, {19, 10, 0}, {5, 10, 5},
                          {-1, 1, 0}, {1, 1, 0}, {-3, 2, 0}, {5, 2, 1}, {-2, 2, 1}};
    for (const Fold& f : folds)
        EXPECT_EQ(ReflectIndex(f.j, f.n), f.want) << f.j << " in " << f.n;
}

TEST(ResampleContributors, ListsThatOutgrowTheirRoom)
{
    // A radius below the filter's support can leave more nonzero weights than
    // trunc(2 width + 1): the list grows and keeps them all.
    const TContributorEntry e = BuildContributorEntry(TResampleFilter::Box, 0.1f, 2.0f, 0.5f, 4);
    EXPECT_EQ(ContributorRoom(0.1f, 2.0f), 1);
    ASSERT_EQ(e.N, 1);
    EXPECT_EQ(e.Contributors[0].Pixel, 0);
    const TContributorEntry wide = BuildContributorEntry(TResampleFilter::Lanczos3, 0.6f, 1.0f, 0.5f, 4);
    EXPECT_GT(wide.N, ContributorRoom(0.6f, 1.0f));
}

TEST_F(ResampleSwitches, BoxTwoByTwoToThreeByThree)
{
    TBitmap source = MakeBitmap(2, 2);
    Put(source, 0, 0, 10, 20, 30);
    Put(source, 1, 0, 40, 50, 60);
    Put(source, 0, 1, 70, 80, 90);
    Put(source, 1, 1, 100, 110, 120);
    for (const Path& path : Paths) {
        SetResampleKernels(path.kernels);
        SetResampleThreads(path.threads);
        TBitmap target;
        StretchInto(3, 3, 0, 0.0f, source, target);
        ASSERT_EQ(target.Width(), 3);
        ASSERT_EQ(target.Height(), 3);
        const uint8_t want[3][3][3] = {
            {{10, 20, 30}, {10, 20, 30}, {40, 50, 60}},
            {{10, 20, 30}, {10, 20, 30}, {40, 50, 60}},
            {{70, 80, 90}, {70, 80, 90}, {100, 110, 120}},
        };
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(std::memcmp(target.ScanLine(y) + 3 * x, want[y][x], 3), 0)
                    << "(" << x << "," << y << ") on " << ResampleKernelsName(ActiveResampleKernels());
    }
}

TEST_F(ResampleSwitches, TriangleHalvingGivesTheListedWeights)
{
    // A row whose pixels 0 and 1 and 499..502 are distinct shows the weights in
    // the result: pixel 0 = (64 v1 + 128 v0 + 64 v1) / 256.
    TBitmap source = MakeBitmap(1000, 1);
    for (int x = 0; x < 1000; ++x)
        Put(source, x, 0, uint8_t(x % 7 * 30), uint8_t(x % 5 * 50), uint8_t(x % 3 * 100));
    TBitmap target;
    StretchInto(500, 1, 1, 0.0f, source, target);
    auto at = [&](const TBitmap& b, int x, int c) { return int(b.ScanLine(0)[3 * x + c]); };
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(at(target, 0, c), (64 * at(source, 1, c) + 128 * at(source, 0, c) + 64 * at(source, 1, c)) / 256) << c;
        EXPECT_EQ(at(target, 250, c), (32 * at(source, 499, c) + 96 * at(source, 500, c) + 96 * at(source, 501, c) +
                                       32 * at(source, 502, c)) / 256) << c;
    }
}

TEST_F(ResampleSwitches, DefaultRadiusOfLanczos3IsThree)
{
    std::mt19937 rng(5);
    TBitmap source = RandomPicture(40, 30, rng);
    TBitmap byDefault(source), explicitRadius(source), radiusTwo(source);
    Stretch(17, 23, 5, byDefault, 0.0f);
    Stretch(17, 23, 5, explicitRadius, 3.0f);
    Stretch(17, 23, 5, radiusTwo, 2.0f);
    EXPECT_EQ(Pixels(byDefault), Pixels(explicitRadius));
    EXPECT_NE(Pixels(byDefault), Pixels(radiusTwo));
}

TEST_F(ResampleSwitches, EmptyDestinationsAndSources)
{
    std::mt19937 rng(6);
    TBitmap source = RandomPicture(12, 9, rng);
    struct Case { int w, h; };
    for (const Case c : {Case{0, 0}, {0, 5}, {5, 0}}) {
        TBitmap b(source);
        EXPECT_NO_THROW(Stretch(c.w, c.h, 5, b)) << c.w << "x" << c.h;
        EXPECT_EQ(b.Width(), c.w);
        EXPECT_EQ(b.Height(), c.h);
        EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    }
    TBitmap empty = MakeBitmap(0, 0);
    TBitmap target;
    StretchInto(4, 3, 1, 0.0f, empty, target);
    ASSERT_EQ(target.Width(), 4);
    EXPECT_EQ(Pixels(target), std::vector<uint8_t>(4 * 3 * 3, 0));
}

TEST_F(ResampleSwitches, BadArgumentsRaise)
{
    TBitmap b = MakeBitmap(4, 4);
    EXPECT_THROW(Stretch(2, 2, 7, b), Exception);
    EXPECT_THROW(Stretch(2, 2, 1, b, -1.0f), Exception);
    EXPECT_THROW(Stretch(2, 2, 1, b, NAN), Exception);
    EXPECT_THROW(Stretch(-2, 2, 1, b), EInvalidGraphic);
    TBitmap palette;
    palette.SetPixelFormat(TPixelFormat::pf8bit);
    palette.SetSize(3, 3);
    TBitmap out = MakeBitmap(2, 2);
    EXPECT_THROW(Resample(TResampleFilter::Box, 0.5f, palette, out), Exception);
}

TEST_F(ResampleSwitches, OtherDepthsAreSwitchedTo24Bits)
{
    TBitmap grey;
    grey.SetPixelFormat(TPixelFormat::pf8bit);
    grey.SetSize(4, 4); // no palette: a grey ramp, index 0 black
    Stretch(2, 2, 0, grey);
    EXPECT_EQ(grey.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(Pixels(grey), std::vector<uint8_t>(12, 0));
}

TEST_F(ResampleSwitches, OnePixelDestinationAveragesTheWholeLine)
{
    // Box with scale 1/n centred on the line: the plain mean, each weight
    // round(256 / n).
    TBitmap row = MakeBitmap(3, 1);
    Put(row, 0, 0, 0, 30, 255);
    Put(row, 1, 0, 90, 60, 255);
    Put(row, 2, 0, 255, 90, 0);
    TBitmap one;
    StretchInto(1, 1, 0, 0.0f, row, one);
    EXPECT_EQ(Pixels(one), (std::vector<uint8_t>{115, 60, 170}));

    // A line too long for any weight round(256 s) to survive.
    for (int n : {600, 6000}) {
        TBitmap line = MakeBitmap(n, 2);
        for (int x = 0; x < n; ++x) {
            Put(line, x, 0, x < n / 2 ? 0 : 200, 100, 255);
            Put(line, x, 1, x < n / 2 ? 0 : 200, 100, 255);
        }
        for (int filter = 0; filter < FilterCount; ++filter) {
            TBitmap b(line);
            Stretch(1, 1, filter, b);
            const std::vector<uint8_t> p = Pixels(b);
            EXPECT_NEAR(p[0], 100, filter == 0 ? 1 : 40) << n << " " << filter;
            EXPECT_NEAR(p[1], 100, 1) << n << " " << filter;
            EXPECT_GE(p[2], 254) << n << " " << filter;
        }
    }
}

TEST_F(ResampleSwitches, HugeReductionsStayInside32Bits)
{
    // 65535 pixels into one, Lanczos3: hundreds of thousands of contributors;
    // the weights are scaled so that 255 x their sum still fits.
    TBitmap line = MakeBitmap(65535, 1);
    std::memset(line.ScanLine(0), 255, 3 * 65535);
    for (int filter : {0, 5}) {
        TBitmap b(line);
        Stretch(1, 1, filter, b);
        EXPECT_EQ(Pixels(b), (std::vector<uint8_t>{255, 255, 255})) << filter;
    }
    TBitmap tall = MakeBitmap(2, 5000);
    for (int y = 0; y < 5000; ++y)
        Put(tall, 0, y, 255, uint8_t(y % 2 * 255), 0);
    ExpectAllPathsMatch(tall, 2, 3, TResampleFilter::Triangle, 1.0f);
}

TEST_F(ResampleSwitches, ExamplesMatchThePlainReading)
{
    std::mt19937 rng(7);
    struct Case { int sw, sh, dw, dh; };
    const Case cases[] = {
        {2, 2, 3, 3},     {1000, 3, 500, 2}, {1, 1, 9, 4},    {1, 7, 5, 1},    {7, 1, 1, 5},
        {5, 5, 1, 1},     {2, 3, 40, 33},    {300, 4, 77, 9}, {3, 300, 8, 61}, {600, 130, 150, 37},
        {64, 48, 300, 200}, {257, 19, 255, 21},
    };
    for (int filter = 0; filter < FilterCount; ++filter)
        for (const Case& c : cases) {
            const TBitmap source = RandomPicture(c.sw, c.sh, rng);
            ExpectAllPathsMatch(source, c.dw, c.dh, TResampleFilter(filter), DefaultRadius(TResampleFilter(filter)));
        }
}

TEST_F(ResampleSwitches, RandomSizesMatchThePlainReading)
{
    std::mt19937 rng(20240611);
    auto side = [&](int limit) {
        switch (rng() % 6) {
        case 0: return 1;
        case 1: return 2;
        default: return 1 + int(rng() % unsigned(limit));
        }
    };
    for (int n = 0; n < 150; ++n) {
        const TResampleFilter filter = TResampleFilter(rng() % FilterCount);
        const int sw = side(150), sh = side(90);
        const int dw = side(200), dh = side(120);
        // Mostly default radii, sometimes others (narrower than the support too).
        float radius = DefaultRadius(filter);
        if (rng() % 5 == 0)
            radius = 0.25f + float(rng() % 16) * 0.25f;
        const TBitmap source = RandomPicture(sw, sh, rng);
        ExpectAllPathsMatch(source, dw, dh, filter, radius);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(ResampleSwitches, StretchReplacesTheBitmap)
{
    std::mt19937 rng(8);
    TBitmap source = RandomPicture(31, 17, rng);
    TBitmap expected = MakeBitmap(12, 40);
    reference::Resample(TResampleFilter::Mitchell, 2.0f, source, expected);
    TBitmap inPlace(source);
    Stretch(12, 40, 6, inPlace);
    EXPECT_EQ(Pixels(inPlace), Pixels(expected));
    // Source and target the same bitmap.
    TBitmap same(source);
    StretchInto(12, 40, 6, 0.0f, same, same);
    EXPECT_EQ(Pixels(same), Pixels(expected));
}
