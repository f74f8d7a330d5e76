// Times the thumbnail build of the main window on a folder of photos against
// vipsthumbnail -s 64 and a Pillow draft() + thumbnail() script on the same
// folder, in one run, the tools taking turns so that all see the same machine
// load.
//
//   bench_thumbnails [-n RUNS] [DIR]
//
// Without DIR it writes 100 photos of 4000 x 3000 with makephotos.sh into a
// temporary folder. Ours runs three ways per round: with an empty shared
// thumbnail cache on the default workers and on the user-interface thread
// alone (both must give the same tiles in the same order and the same gauge
// values), and a second visit of the folder by a window that holds no tiles
// of its own, with the shared cache filled by the first. Medians, with the
// range as noise.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/summary.h"
#include "app/utessaria.h"
#include "common/runprocess.h"
#include "browse/filelistmodel.h"
#include "browse/filelistview.h"
#include "browse/imagelist.h"
#include "browse/thumbnailmaker.h"
#include "controls/foldertree.h"
#include "controls/statusbar.h"
#include "platform/application.h"

using namespace tessaria;

namespace {

struct TStats {
    std::vector<double> Runs;
    double Median() const { return bench::Summary(Runs).Median; }
    double Min() const { return bench::Summary(Runs).Min; }
    double Max() const { return bench::Summary(Runs).Max; }
};

struct TBuild {
    double Ms = 0;
    std::vector<QImage> Tiles; // in list order
    std::vector<int> Gauge;
};

// The shared thumbnail cache of this run (XDG_CACHE_HOME points into it).
QString CacheFolder;

TBuild BuildOnce(TfrmTessaria& w, int workers, bool emptyCache)
{
    SetThumbnailWorkers(workers);
    if (emptyCache)
        QDir(CacheFolder + "/thumbnails").removeRecursively();
    // No tiles held in memory: every one comes from the cache or the file.
    w.ThumbFolder.clear();
    w.ThumbTiles.clear();
    TBuild result;
    SetProcessMessagesHook([&] { result.Gauge.push_back(w.sb1->GaugePosition()); });
    QElapsedTimer timer;
    timer.start();
    w.ViewSmallThumbnails1->trigger();
    result.Ms = double(timer.nsecsElapsed()) / 1e6;
    SetProcessMessagesHook(nullptr);
    const TFileListModel& model = *w.LV1->Model();
    for (int row = 0; row < model.Count(); ++row)
        result.Tiles.push_back(w.ImageList1->Image(model.Item(row).ImageIndex).toImage());
    w.ViewFileDetails1->trigger();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int runs = 3;
    QString folder;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-n" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else
            folder = QString::fromLocal8Bit(argv[i]);
    }
    QTemporaryDir config, photos, cache;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CACHE_HOME", cache.path().toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", config.path().toLocal8Bit().constData(), 1);
    CacheFolder = cache.path();
    if (folder.isEmpty()) {
        folder = photos.path();
        std::printf("writing 100 photos into %s\n", qPrintable(folder));
        std::fflush(stdout);
        bench::RunProcess({"sh", MAKEPHOTOS, folder.toStdString(), "100"});
    }
    QApplication app(argc, argv);
    QStringList files = QDir(folder).entryList({"*.jpg"}, QDir::Files, QDir::Name);
    std::vector<std::string> paths;
    for (const QString& f : files)
        paths.push_back(QDir(folder).filePath(f).toStdString());

    TfrmTessaria w;
    w.show();
    QApplication::processEvents();
    w.FileMask = "*.jpg;";
    w.TV1->SetDirectory(folder);
    if (!QTest::qWaitFor([&] { return w.LV1->Model()->Count() == int(files.size()); }, 5000)) {
        std::fprintf(stderr, "the list did not show the folder\n");
        return 1;
    }
    std::printf("%d files in %s, %d workers by default\n", w.LV1->Model()->Count(), qPrintable(folder),
                ThumbnailWorkers());

    const int defaultWorkers = ThumbnailWorkers();
    TStats vips, pillow, one, two, second;
    bool same = true;
    const QString vipsOut = QDir(config.path()).filePath("vips");
    QDir().mkpath(vipsOut);
    std::vector<std::string> pillowArgs = {"/usr/bin/python3", PILLOWTHUMBS};
    pillowArgs.insert(pillowArgs.end(), paths.begin(), paths.end());
    std::vector<std::string> vipsArgs = {"vipsthumbnail", "-s", "64", "-o", (vipsOut + "/%s.jpg").toStdString()};
    vipsArgs.insert(vipsArgs.end(), paths.begin(), paths.end());
    for (int run = 0; run < runs; ++run) {
        vips.Runs.push_back(bench::RunProcess(vipsArgs).Milliseconds);
        TBuild b2 = BuildOnce(w, defaultWorkers, true);
        two.Runs.push_back(b2.Ms);
        TBuild again = BuildOnce(w, defaultWorkers, false);
        second.Runs.push_back(again.Ms);
        pillow.Runs.push_back(bench::RunProcess(pillowArgs).Milliseconds);
        TBuild b1 = BuildOnce(w, 0, true);
        one.Runs.push_back(b1.Ms);
        same = same && b1.Tiles == b2.Tiles && b1.Gauge == b2.Gauge && again.Tiles == b2.Tiles;
        std::printf("round %d: vipsthumbnail %.0f ms, ours (%d workers) %.0f ms, second visit %.0f ms, "
                    "Pillow %.0f ms, ours (no workers) %.0f ms\n",
                    run + 1, vips.Runs.back(), defaultWorkers, b2.Ms, again.Ms, pillow.Runs.back(), b1.Ms);
        std::fflush(stdout);
    }
    auto line = [](const char* name, const TStats& s) {
        std::printf("%-36s %8.0f ms  (%.0f..%.0f)\n", name, s.Median(), s.Min(), s.Max());
    };
    std::printf("\nmedians of %d rounds, %zu files\n", runs, paths.size());
    line("vipsthumbnail -s 64", vips);
    line("Pillow draft() + thumbnail()", pillow);
    line("ours, empty cache, with workers", two);
    line("ours, empty cache, no workers", one);
    line("ours, second visit (cache filled)", second);
    std::printf("ours with workers / vipsthumbnail: %.2f\n", two.Median() / vips.Median());
    std::printf("ours no workers / vipsthumbnail:   %.2f\n", one.Median() / vips.Median());
    std::printf("ours with workers / Pillow:        %.2f\n", two.Median() / pillow.Median());
    std::printf("same tiles, order and gauge on every build: %s\n", same ? "yes" : "NO");
    return same ? 0 : 1;
}
