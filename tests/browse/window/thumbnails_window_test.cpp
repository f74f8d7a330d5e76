#include <QListView>

#include "browse/browsegeometry.h"
#include "browse/sharedthumbnails.h"
#include "browse/thumbnailtile.h"
#include <QFileInfo>
#include <sys/stat.h>
#include "browse/window/browsefixture.h"
#include "imageio/picture.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

// Every build runs twice: on the user-interface thread alone and with workers.
class Thumbnails : public BrowseTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        BrowseTest::SetUp();
        SetThumbnailWorkers(GetParam());
    }

    void ChooseThumbnails(TfrmTessaria& w) { w.ViewSmallThumbnails1->trigger(); }

    // Records the gauge each time the build lets the message loop run.
    std::vector<int> Gauge;
    int Loops = 0;
    void RecordGauge(TfrmTessaria& w, std::function<void(int)> also = nullptr)
    {
        SetProcessMessagesHook([this, &w, also] {
            Gauge.push_back(w.sb1->GaugePosition());
            if (also)
                also(Loops);
            ++Loops;
        });
    }

    QImage TileOf(const TfrmTessaria& w, const QString& caption) const
    {
        const int index = w.LV1->Model()->Item(RowOf(w, caption)).ImageIndex;
        return index < 0 ? QImage() : w.ImageList1->Image(index).toImage().convertToFormat(QImage::Format_RGB888);
    }
    // The tile of the file as it is now, made without any cache (the tile's
    // own pixels are pinned by the logic tests).
    QImage ExpectedTile(const TfrmTessaria& w, const QString& caption) const
    {
        const QRgb background = w.LV1->Icons()->palette().color(QPalette::Base).rgb();
        const std::optional<QImage> tile =
            MakeThumbnailTileOfFile({PathOf(caption), StampOf(PathOf(caption))}, 64, background, nullptr);
        return tile ? tile->convertToFormat(QImage::Format_RGB888) : QImage();
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Workers, Thumbnails, ::testing::Values(0, 2),
                         [](const auto& info) { return info.param ? "TwoWorkers" : "OneThread"; });

TEST_P(Thumbnails, EachFileGetsItsOwnTileAndTheGaugeCounts)
{
    Picture("a_wide.bmp", 300, 150, 1);
    Picture("b_tall.bmp", 120, 240, 2);
    Picture("c_square.bmp", 50, 50, 3);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    RecordGauge(w);
    ChooseThumbnails(w);
    EXPECT_EQ(Gauge, (std::vector<int>{0, 33, 67}));
    EXPECT_EQ(w.sb1->GaugePosition(), 0);
    EXPECT_EQ(w.LV1->ViewStyle(), TViewStyle::vsIcon);
    EXPECT_TRUE(w.ViewSmallThumbnails1->isChecked());
    EXPECT_FALSE(w.ViewFileDetails1->isChecked());
    EXPECT_EQ(w.ThumbFolder, Folder());
    EXPECT_FALSE(w.ThumbBuilding);
    EXPECT_EQ(w.ImageList1->Count(), 3);
    EXPECT_EQ(w.ImageList1->Width(), 64);
    EXPECT_NE(w.sb1->PanelText(1), "Load Aborted");
    for (const char* file : {"a_wide.bmp", "b_tall.bmp", "c_square.bmp"})
        EXPECT_EQ(TileOf(w, file), ExpectedTile(w, file)) << file;

    // The wide one fills the width and rests on the bottom; the tall one is centred.
    const QRgb background = w.LV1->Icons()->palette().color(QPalette::Base).rgb();
    const QImage wide = TileOf(w, "a_wide.bmp");
    EXPECT_EQ(wide.pixel(0, 31), background);
    EXPECT_NE(wide.pixel(0, 32), background);
    EXPECT_NE(wide.pixel(63, 63), background);
    const QImage tall = TileOf(w, "b_tall.bmp");
    EXPECT_EQ(tall.pixel(15, 40), background);
    EXPECT_NE(tall.pixel(16, 40), background);
    EXPECT_NE(tall.pixel(47, 0), background);
    EXPECT_EQ(tall.pixel(48, 40), background);
    // The icon view shows the tile as the item's icon.
    const QModelIndex item = w.LV1->Model()->index(RowOf(w, "a_wide.bmp"), 0);
    EXPECT_FALSE(item.data(Qt::DecorationRole).value<QPixmap>().isNull());
}

TEST_P(Thumbnails, ASecondChoiceInTheSameFolderLoadsNothing)
{
    const QDateTime made(QDate(2021, 5, 4), QTime(10, 20, 30));
    Picture("a.bmp", 80, 60, 1);
    Touch("a.bmp", made);
    Picture("b.bmp", 60, 80, 2);
    Picture("c.bmp", 70, 70, 3);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    RecordGauge(w);
    ChooseThumbnails(w);
    ASSERT_EQ(Loops, 3);
    w.ViewFileDetails1->trigger();
    EXPECT_EQ(w.LV1->ViewStyle(), TViewStyle::vsReport);
    EXPECT_EQ(w.ImageList1->Count(), 3); // the details view keeps them

    // After sorting by another column every file still gets its own tile back.
    // A reload would show this picture; the file keeps the size and time the
    // tile was made from, which is all a held tile is checked against.
    Picture("a.bmp", 80, 60, 9);
    Touch("a.bmp", made);
    ClickHeader(w, 0);
    ASSERT_EQ(Captions(w), (QStringList{"c.bmp", "b.bmp", "a.bmp"}));
    ChooseThumbnails(w);
    EXPECT_EQ(Loops, 3);
    EXPECT_EQ(w.ImageList1->Count(), 3);
    Picture("a.bmp", 80, 60, 1);
    Touch("a.bmp", made);
    for (const char* file : {"a.bmp", "b.bmp", "c.bmp"})
        EXPECT_EQ(TileOf(w, file), ExpectedTile(w, file)) << file;

    // A refresh makes new items without images; the choice gives them back.
    w.Update1Click();
    EXPECT_EQ(w.LV1->ViewStyle(), TViewStyle::vsIcon);
    EXPECT_EQ(w.LV1->Model()->Item(0).ImageIndex, -1);
    ChooseThumbnails(w);
    EXPECT_EQ(Loops, 3);
    for (const char* file : {"a.bmp", "b.bmp", "c.bmp"})
        EXPECT_EQ(TileOf(w, file), ExpectedTile(w, file)) << file;
}

TEST_P(Thumbnails, ADamagedFileIsSkippedSilently)
{
    Picture("a.bmp", 90, 40, 1);
    Write("b.bmp", "BM damaged");
    Write("c.bmp", QByteArray());
    Picture("d.bmp", 40, 90, 2);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    RecordGauge(w);
    ChooseThumbnails(w);
    EXPECT_EQ(Gauge, (std::vector<int>{0, 25, 50, 75}));
    EXPECT_TRUE(Dialogs->Shown.empty()) << Dialogs->AllTexts().join("|").toStdString();
    EXPECT_EQ(w.LV1->Model()->Item(RowOf(w, "b.bmp")).ImageIndex, -1);
    EXPECT_EQ(w.LV1->Model()->Item(RowOf(w, "c.bmp")).ImageIndex, -1);
    EXPECT_EQ(TileOf(w, "a.bmp"), ExpectedTile(w, "a.bmp"));
    EXPECT_EQ(TileOf(w, "d.bmp"), ExpectedTile(w, "d.bmp"));
    EXPECT_EQ(w.ThumbFolder, Folder());
}

TEST_P(Thumbnails, AnEmptyFolderLoadsNothingAndIsRemembered)
{
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    RecordGauge(w);
    ChooseThumbnails(w);
    EXPECT_EQ(Loops, 0);
    EXPECT_EQ(w.ThumbFolder, Folder());
    EXPECT_EQ(w.sb1->GaugePosition(), 0);
}

TEST_P(Thumbnails, AFullImageListStopsTheBuild)
{
    Picture("a.bmp", 80, 60, 1);
    Picture("b.bmp", 60, 80, 2);
    Picture("c.bmp", 70, 70, 3);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    w.ImageList1->SetCapacityLimit(1);
    RecordGauge(w);
    ChooseThumbnails(w);
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Message),
              QStringList{"Out of system resources... make a new folder so it holds less image files"});
    EXPECT_EQ(Gauge, (std::vector<int>{0, 33}));
    EXPECT_EQ(w.sb1->PanelText(1), "Load Aborted");
    EXPECT_EQ(TileOf(w, "a.bmp"), ExpectedTile(w, "a.bmp"));
    EXPECT_EQ(w.LV1->Model()->Item(RowOf(w, "b.bmp")).ImageIndex, -1);
    EXPECT_EQ(w.ThumbFolder, Folder());
    EXPECT_FALSE(w.ThumbBuilding);
    ChooseThumbnails(w);
    EXPECT_EQ(Loops, 2);
}

TEST_P(Thumbnails, ChangingTheFolderDuringABuildStopsIt)
{
    for (int i = 0; i < 6; ++i)
        Picture(QString("p%1.bmp").arg(i), 200, 150, i);
    QDir(Folder()).mkdir("other");
    Picture("other/o.bmp", 50, 50);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    RecordGauge(w, [&](int loop) {
        if (loop == 1)
            w.TV1->SetDirectory(PathOf("other"));
    });
    ChooseThumbnails(w);
    EXPECT_EQ(Loops, 2);
    EXPECT_EQ(Captions(w), QStringList{"o.bmp"});
    EXPECT_EQ(w.LV1->Model()->Item(0).ImageIndex, -1);
    EXPECT_EQ(w.LV1->ViewStyle(), TViewStyle::vsReport);
    EXPECT_FALSE(w.ThumbBuilding);
    EXPECT_EQ(w.ThumbFolder, QString()); // neither folder's thumbnails are all there
    EXPECT_EQ(w.sb1->PanelText(1), "Load Aborted");
    EXPECT_EQ(w.sb1->GaugePosition(), 0);

    // The new folder then builds as usual, and the old one builds again.
    SetProcessMessagesHook(nullptr);
    ChooseThumbnails(w);
    EXPECT_EQ(TileOf(w, "o.bmp"), ExpectedTile(w, "other/o.bmp"));
    EXPECT_EQ(w.ThumbFolder, PathOf("other"));
    w.TV1->SetDirectory(Folder());
    ChooseThumbnails(w);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(TileOf(w, QString("p%1.bmp").arg(i)), ExpectedTile(w, QString("p%1.bmp").arg(i))) << i;
}

TEST_P(Thumbnails, ARefreshDuringABuildStopsIt)
{
    for (int i = 0; i < 5; ++i)
        Picture(QString("p%1.bmp").arg(i), 100, 100, i);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    RecordGauge(w, [&](int loop) {
        if (loop == 0)
            w.Update1Click();
    });
    ChooseThumbnails(w);
    EXPECT_EQ(Loops, 1);
    EXPECT_EQ(w.LV1->Model()->Count(), 5);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(w.LV1->Model()->Item(row).ImageIndex, -1) << row;
    EXPECT_EQ(w.ThumbFolder, QString());
    EXPECT_FALSE(w.ThumbBuilding);
}

TEST_P(Thumbnails, TheListStaysUsableDuringABuild)
{
    for (int i = 0; i < 5; ++i)
        Picture(QString("p%1.bmp").arg(i), 100 + 40 * i, 100, i);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    RecordGauge(w, [&](int loop) {
        if (loop == 0) {
            w.ViewFileDetails1->trigger(); // the build goes on behind the details
            EXPECT_EQ(w.LV1->ViewStyle(), TViewStyle::vsReport);
            Select(w, "p2.bmp");
            EXPECT_EQ(w.PreviewFile, PathOf("p2.bmp"));
            ClickHeader(w, 0); // items move under the build
        }
        if (loop == 1) {
            w.ViewSmallThumbnails1->trigger(); // the running build is this one
            EXPECT_EQ(w.LV1->ViewStyle(), TViewStyle::vsIcon);
        }
    });
    ChooseThumbnails(w);
    EXPECT_EQ(Loops, 5);
    EXPECT_EQ(Captions(w), (QStringList{"p4.bmp", "p3.bmp", "p2.bmp", "p1.bmp", "p0.bmp"}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(TileOf(w, QString("p%1.bmp").arg(i)), ExpectedTile(w, QString("p%1.bmp").arg(i))) << i;
    EXPECT_EQ(w.ThumbFolder, Folder());
}

TEST_P(Thumbnails, TilesKeepTheirPlaceWithOrWithoutAPicture)
{
    Write("a_damaged.bmp", "BM damaged");
    Picture("b.bmp", 90, 40, 1);
    Picture("c.bmp", 40, 90, 2);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    ChooseThumbnails(w);
    QApplication::processEvents();
    QListView* icons = w.LV1->Icons();
    ASSERT_TRUE(icons->isVisible());
    const TFileListModel& model = *w.LV1->Model();
    const QRect first = icons->visualRect(model.index(0, 0));
    EXPECT_GE(first.height(), 64);
    for (int row = 1; row < model.Count(); ++row) {
        const QRect item = icons->visualRect(model.index(row, 0));
        EXPECT_EQ(item.size(), first.size()) << row;
    }
}

TEST_P(Thumbnails, AChangedOrNewFileGetsANewTileAfterARefresh)
{
    Picture("a.bmp", 80, 60, 1);
    Picture("b.bmp", 60, 80, 2);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    ChooseThumbnails(w);
    const QImage before = TileOf(w, "a.bmp");
    ASSERT_FALSE(before.isNull());

    // Another picture under the same name, and a new file; F5 in the thumbnail view.
    Picture("a.bmp", 60, 90, 7);
    Touch("a.bmp", QDateTime::currentDateTime().addSecs(5));
    Picture("c.bmp", 50, 50, 3);
    RecordGauge(w);
    QTest::keyClick(w.LV1->Icons(), Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return RowOf(w, "c.bmp") >= 0 && !TileOf(w, "c.bmp").isNull(); }, 5000));
    EXPECT_EQ(w.LV1->ViewStyle(), TViewStyle::vsIcon);
    EXPECT_NE(TileOf(w, "a.bmp"), before);
    for (const char* file : {"a.bmp", "b.bmp", "c.bmp"})
        EXPECT_EQ(TileOf(w, file), ExpectedTile(w, file)) << file;
    // Only the two that changed were made; b's tile was given back.
    EXPECT_EQ(Gauge, (std::vector<int>{0, 50}));
}

TEST_P(Thumbnails, TilesComeFromAndGoToTheSharedThumbnailCache)
{
    Picture("big.bmp", 300, 200, 1);
    Picture("small.bmp", 100, 80, 2);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    ChooseThumbnails(w);
    const TSharedThumbnailCache cache;
    ASSERT_TRUE(cache.Folder().startsWith(Q(Config.Path())));
    // Pictures that fit in 128 x 128 already are not stored.
    EXPECT_TRUE(QFileInfo::exists(cache.NormalPath(PathOf("big.bmp"))));
    EXPECT_FALSE(QFileInfo::exists(cache.NormalPath(PathOf("small.bmp"))));
    // The folders we made are the owner's alone.
    for (const QString& folder : {cache.Folder(), cache.Folder() + "/normal"}) {
        struct stat info {};
        ASSERT_EQ(::stat(folder.toLocal8Bit().constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << folder.toStdString();
    }
    const QImage made = TileOf(w, "big.bmp");
    ASSERT_TRUE(cache.Read(PathOf("big.bmp"), StampOf(PathOf("big.bmp"))).has_value());

    // A new window has no tiles of its own; the cache gives the same one without loading.
    Window.reset();
    DestroyStartupForms();
    QFile::remove(PathOf("small.bmp"));
    Write("big.bmp.copy", QByteArray());
    {
        // The picture itself cannot be read any more, but its stamp is the same.
        QFile file(PathOf("big.bmp"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const QByteArray bytes = file.readAll();
        const QDateTime time = file.fileTime(QFileDevice::FileModificationTime);
        file.seek(0);
        file.write(QByteArray(bytes.size(), 'x'));
        file.close();
        Touch("big.bmp", time);
    }
    TfrmTessaria& again = Browse(Folder(), "*.bmp;");
    ChooseThumbnails(again);
    EXPECT_EQ(TileOf(again, "big.bmp"), made);
}
