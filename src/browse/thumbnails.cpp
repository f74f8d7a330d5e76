// The main window's small-thumbnail view: switching views and building the
// thumbnails of the listed files, or giving back the ones already built.
#include <QAction>
#include <QEventLoop>
#include <QFile>
#include <QListView>

#include "app/utessaria.h"
#include "base/paths.h"
#include "browse/browsegeometry.h"
#include "browse/filelistmodel.h"
#include "browse/filelistview.h"
#include "browse/imagelist.h"
#include "browse/thumbnailmaker.h"
#include "controls/foldertree.h"
#include "controls/statusbar.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/filenames.h"
#include "browse/sharedthumbnails.h"

namespace tessaria {

extern int ThumbSize;

namespace {

// Wakes the user-interface thread when a worker has finished a tile.
class TTileSignal : public QObject {
    Q_OBJECT
signals:
    void Ready();
};

} // namespace

void TfrmTessaria::ViewFileDetails1Click(QAction* sender)
{
    if (sender)
        sender->setChecked(true);
    if (ViewSmallThumbnails1->isChecked()) {
        LV1->SetViewStyle(TViewStyle::vsIcon);
        BuildSmallThumbnails();
    } else {
        LV1->SetViewStyle(TViewStyle::vsReport);
    }
}

void TfrmTessaria::StopThumbnailWorkers()
{
    if (ThumbMaker)
        ThumbMaker->Stop();
}

void TfrmTessaria::BuildSmallThumbnails()
{
    TFileListModel& model = *LV1->Model();
    const QString directory = TV1->Directory();
    // A build for these very items is under way (this is its message loop).
    if (ThumbBuilding && ThumbBuildGeneration == model.Generation())
        return;

    // In the folder built last, a tile is given back while its file has the
    // size and time it was made from; only new and changed files are made.
    // Tiles made the other way round (the orientation option changed) are made again.
    const bool upright = TurnsPhotosUpright();
    const bool sameFolder = directory == ThumbFolder && upright == ThumbUpright;
    std::vector<TThumbnailJob> jobs;
    std::vector<int> serials;
    QStringList captions;
    for (int row = 0; row < model.Count(); ++row) {
        const TFileListItem& item = model.Item(row);
        const QString path = JoinPath(directory, item.Texts.Caption);
        const TFileStamp stamp = StampOf(path);
        if (sameFolder) {
            const auto held = ThumbTiles.constFind(item.Texts.Caption);
            if (held != ThumbTiles.constEnd() && held->Stamp == stamp) {
                model.SetImageIndex(row, held->Image);
                continue;
            }
            model.SetImageIndex(row, -1);
        }
        jobs.push_back({path, stamp, upright});
        serials.push_back(item.Serial);
        captions << item.Texts.Caption;
    }
    if (sameFolder && jobs.empty())
        return;

    // A newer build (or a refill of the list) ends this one wherever it waits.
    StopThumbnailWorkers();
    const uint64_t build = ++ThumbBuildSerial;
    const uint64_t generation = model.Generation();
    ThumbBuilding = true;
    ThumbBuildGeneration = generation;
    if (!sameFolder) {
        ImageList1->Clear();
        ImageList1->SetSize(ThumbSize, ThumbSize);
        // The images are gone, so no folder's thumbnails are held until this build ends.
        ThumbFolder.clear();
        ThumbTiles.clear();
        model.ClearImageIndexes();
    }
    const int count = int(jobs.size());
    const QRgb background = LV1->Icons()->palette().color(QPalette::Base).rgb();

    TTileSignal tileSignal;
    TThumbnailMaker maker(jobs, ThumbSize, background, TSharedThumbnailCache());
    maker.SetOnReady([&tileSignal] { QMetaObject::invokeMethod(&tileSignal, &TTileSignal::Ready, Qt::QueuedConnection); });
    ThumbMaker = &maker;
    struct TForget {
        TThumbnailMaker*& Running;
        TThumbnailMaker* Mine;
        ~TForget()
        {
            if (Running == Mine)
                Running = nullptr;
        }
    } forget{ThumbMaker, &maker};
    auto superseded = [&] { return build != ThumbBuildSerial || model.Generation() != generation || !isVisible(); };

    bool stopped = false;
    int i = 0;
    for (; i < count && ThumbBuilding && !stopped; ++i) {
        // The list stays usable while the next file is still being decoded.
        while (!maker.Ready(i) && !superseded()) {
            QEventLoop wait;
            connect(&tileSignal, &TTileSignal::Ready, &wait, &QEventLoop::quit);
            connect(&model, &QAbstractItemModel::modelReset, &wait, &QEventLoop::quit);
            if (!maker.Ready(i))
                wait.exec();
        }
        if (superseded()) {
            stopped = true;
            break;
        }
        const std::optional<QImage> tile = maker.Take(i);
        int image = -1;
        if (tile) {
            image = ImageList1->Add(*tile);
            if (image < 0) {
                ThumbBuilding = false;
                Dialogs().ShowMessage("Out of system resources... make a new folder so it holds less image files");
            } else if (!superseded()) {
                model.SetImageIndex(model.RowOfSerial(serials[size_t(i)]), image);
            }
        }
        // A file that gave no tile is not tried again until it changes.
        ThumbTiles.insert(captions[i], {image, jobs[size_t(i)].Stamp});
        if (superseded()) {
            stopped = true;
            break;
        }
        sb1->SetGaugePosition(ThumbnailGaugePercent(i, count));
        ProcessMessages();
        stopped = superseded();
    }

    // A newer build owns the image list, the gauge and the flag now.
    if (build != ThumbBuildSerial)
        return;
    if (!stopped) {
        // A full image list leaves the rest without tiles, as they are.
        for (; i < count; ++i)
            ThumbTiles.insert(captions[i], {-1, jobs[size_t(i)].Stamp});
        ThumbFolder = TV1->Directory();
        ThumbUpright = upright;
    } else if (!sameFolder) {
        ThumbTiles.clear();
    }
    sb1->SetGaugePosition(0);
    if (!ThumbBuilding || stopped)
        sb1->SetPanelText(1, "Load Aborted");
    ThumbBuilding = false;
}

} // namespace tessaria

#include "thumbnails.moc"
