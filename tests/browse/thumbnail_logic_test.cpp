#include <gtest/gtest.h>

#include <QDir>
#include <QThread>

#include "base/fitsize.h"
#include "browse/browsegeometry.h"
#include "browse/browsetestfiles.h"
#include "browse/thumbnailmaker.h"
#include "browse/thumbnailtile.h"
#include "imageio/picture.h"
#include "imageio/qt/qimagebridge.h"
#include "print/core/resample.h"
#include "support/testfiles.h"

using namespace tessaria;

TEST(BrowseGeometry, PlacementsAndSizes)
{
    struct TCase {
        const char* Name;
        QRect Got, Want;
    } cases[] = {
        {"wide thumbnail fills the width, rests on the bottom", ThumbnailPlacement(64, {200, 100}), {0, 32, 64, 32}},
        {"tall thumbnail fills the height, centred", ThumbnailPlacement(64, {100, 200}), {16, 0, 32, 64}},
        {"odd spare room truncated", ThumbnailPlacement(64, {300, 99}), {0, 43, 64, 21}},
        {"portrait spare room", ThumbnailPlacement(64, {33, 64}), {15, 0, 33, 64}},
        {"square", ThumbnailPlacement(64, {7, 7}), {0, 0, 64, 64}},
        {"preview centred both ways", PreviewPlacement({185, 110}, {640, 480}), {19, 0, 147, 110}},
        {"preview height rounds 18.5 to even", PreviewPlacement({185, 110}, {1000, 100}), {0, 46, 185, 18}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(c.Got, c.Want) << c.Name;
    EXPECT_EQ(ViewerOuterSize({480, 480}, {1000, 500}), QSize(480, 240));
    EXPECT_EQ(ViewerOuterSize({480, 480}, {300, 600}), QSize(240, 480));
    EXPECT_EQ(ViewerOuterSize({480, 480}, {40, 20}), QSize(480, 240)); // small pictures grow
    EXPECT_EQ(ViewerOuterSize({600, 300}, {100, 100}), QSize(300, 300));
}

TEST(BrowseGeometry, GaugeRoundsHalvesToEven)
{
    const int three[] = {ThumbnailGaugePercent(0, 3), ThumbnailGaugePercent(1, 3), ThumbnailGaugePercent(2, 3)};
    EXPECT_EQ(std::vector<int>(std::begin(three), std::end(three)), (std::vector<int>{0, 33, 67}));
    EXPECT_EQ(ThumbnailGaugePercent(1, 8), 12);  // 12.5
    EXPECT_EQ(ThumbnailGaugePercent(3, 8), 38);  // 37.5
    EXPECT_EQ(ThumbnailGaugePercent(0, 0), 0);
}

namespace {

// The tile as the build must make it: the Box filter straight to the fitted
// size, drawn at the fitted place over the background.
QImage ExpectedTile(const TBitmap& picture, int size, QRgb background, QSize own = QSize())
{
    if (!own.isValid())
        own = QSize(picture.Width(), picture.Height());
    const QRect place = ThumbnailPlacement(size, own);
    TBitmap copy = picture;
    TBitmap small;
    StretchInto(place.width(), place.height(), 0, 0.0f, copy, small);
    QImage tile(size, size, QImage::Format_RGB888);
    tile.fill(background);
    const QImage scaled = ToQImage(small).convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < scaled.height(); ++y)
        for (int x = 0; x < scaled.width(); ++x)
            tile.setPixel(place.left() + x, place.top() + y, scaled.pixel(x, y));
    return tile;
}

TBitmap PatternBitmap(int w, int h, int seed)
{
    return FromQImage(test::PatternImage(w, h, seed));
}

// A file's tile: pictures larger than 128 x 128 go through their 128 x 128
// thumbnail first (Box both times), the others straight to the tile.
QImage ExpectedFileTile(const std::string& path, int size, QRgb background)
{
    TBitmap picture = LoadBitmapFromFile(path);
    const QSize own(picture.Width(), picture.Height());
    if (own.width() <= 128 && own.height() <= 128)
        return ExpectedTile(picture, size, background);
    const TSize fit = FitSize(128, 128, own.width(), own.height());
    TBitmap normal;
    StretchInto(fit.Width, fit.Height, 0, 0.0f, picture, normal);
    return ExpectedTile(normal, size, background, own);
}

std::vector<TThumbnailJob> Jobs(const std::vector<std::string>& paths)
{
    std::vector<TThumbnailJob> jobs;
    for (const std::string& path : paths)
        jobs.push_back({QString::fromStdString(path), StampOf(QString::fromStdString(path))});
    return jobs;
}

} // namespace

TEST(ThumbnailTile, PictureScaledWithTheBoxFilterIntoItsPlace)
{
    const QRgb background = qRgb(10, 200, 30);
    for (QSize size : {QSize(300, 120), QSize(120, 300), QSize(64, 64), QSize(20, 10), QSize(7, 500)}) {
        TBitmap picture = PatternBitmap(size.width(), size.height(), 1);
        const QImage want = ExpectedTile(picture, 64, background);
        const QImage got = MakeThumbnailTile(picture, 64, background);
        ASSERT_EQ(got.size(), QSize(64, 64));
        EXPECT_EQ(got.convertToFormat(QImage::Format_RGB888), want) << size.width() << "x" << size.height();
        // Outside the placed picture only the background shows.
        const QRect place = ThumbnailPlacement(64, size);
        if (place.top() > 0) {
            EXPECT_EQ(got.pixel(0, 0), background) << size.width() << "x" << size.height();
        }
        if (place.left() > 0) {
            EXPECT_EQ(got.pixel(0, 63), background) << size.width() << "x" << size.height();
        }
    }
}

TEST(ThumbnailTile, AThinPictureStillLeavesALine)
{
    TBitmap picture = PatternBitmap(2000, 3, 2); // fits to 64 x 0
    const QImage tile = MakeThumbnailTile(picture, 64, qRgb(0, 0, 0));
    EXPECT_NE(tile.pixel(10, 63), qRgb(0, 0, 0));
    EXPECT_EQ(tile.pixel(10, 62), qRgb(0, 0, 0));
}

TEST(ThumbnailMaker, WorkersGiveTheSameTilesInTheSameOrder)
{
    test::TempDir dir;
    std::vector<std::string> paths;
    const QSize sizes[] = {{300, 200}, {90, 160}, {64, 64}, {500, 30}, {33, 47}, {1000, 999}, {5, 5}, {640, 480}};
    int seed = 0;
    for (QSize size : sizes) {
        paths.push_back(dir.File(QString("p%1.bmp").arg(seed).toStdString()));
        ASSERT_TRUE(test::WritePattern(QString::fromStdString(paths.back()), size.width(), size.height(), seed++));
    }
    paths.insert(paths.begin() + 3, dir.File("missing.bmp"));
    test::WriteFile(dir.File("damaged.bmp"), std::string("BM this is no bitmap"));
    paths.insert(paths.begin() + 5, dir.File("damaged.bmp"));

    const QRgb background = qRgb(255, 255, 255);
    TThumbnailMaker single(Jobs(paths), 64, background, std::nullopt, 0);
    EXPECT_EQ(single.Workers(), 0);
    std::vector<std::optional<QImage>> reference;
    for (int i = 0; i < single.Count(); ++i)
        reference.push_back(single.Take(i));
    EXPECT_FALSE(reference[3].has_value());
    EXPECT_FALSE(reference[5].has_value());
    for (size_t i = 0; i < paths.size(); ++i)
        if (i != 3 && i != 5) {
            ASSERT_TRUE(reference[i].has_value()) << paths[i];
            EXPECT_EQ(*reference[i], ExpectedFileTile(paths[i], 64, background)) << paths[i];
        }

    for (int workers : {1, 2, 3}) {
        TThumbnailMaker parallel(Jobs(paths), 64, background, std::nullopt, workers);
        EXPECT_EQ(parallel.Workers(), workers);
        for (int i = 0; i < parallel.Count(); ++i)
            EXPECT_EQ(parallel.Take(i), reference[size_t(i)]) << workers << " workers, file " << i;
    }
}

TEST(ThumbnailMaker, StopsWithoutTakingEveryTile)
{
    test::TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        paths.push_back(dir.File(QString("p%1.bmp").arg(i).toStdString()));
        ASSERT_TRUE(test::WritePattern(QString::fromStdString(paths.back()), 400, 300, i));
    }
    std::atomic<int> made{0};
    {
        TThumbnailMaker maker(Jobs(paths), 64, 0, std::nullopt, 2);
        maker.SetOnReady([&] { ++made; });
        EXPECT_TRUE(maker.Take(0).has_value());
    } // must not wait for all 40
    EXPECT_LT(made.load(), 40);
}

TEST(ThumbnailMaker, StoppedWorkersEndAfterTheirCurrentFile)
{
    test::TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) {
        paths.push_back(dir.File(QString("p%1.bmp").arg(i).toStdString()));
        ASSERT_TRUE(test::WritePattern(QString::fromStdString(paths.back()), 1200, 900, i));
    }
    std::atomic<int> made{0};
    // Without the stop the workers would go on to file 9 (eight ahead of the one taken).
    TThumbnailMaker maker(Jobs(paths), 64, 0, std::nullopt, 2);
    maker.SetOnReady([&] { ++made; });
    EXPECT_TRUE(maker.Take(0).has_value());
    maker.Stop();
    const int soon = made.load();
    QThread::msleep(200);
    // At most the two files being decoded when it stopped are finished after it.
    EXPECT_LE(made.load(), soon + 2);
}
