// Times the thumbnail build of the main window on a folder of photos against
// vipsthumbnail -s 64 on the same folder and djpeg decoding every file once,
// in one run, the tools taking turns so that all see the same machine load.
//
//   bench_thumbnails [-n RUNS] [DIR]
//
// Without DIR it writes 100 photos of 4000 x 3000 with makephotos.sh into a
// temporary folder. Our build runs twice per round: on the user-interface
// thread alone (no workers) and with the default workers; both must give the
// same tiles in the same order and the same gauge values. The ratio that
// counts is the build with workers against the djpeg total; medians, with
// the range as noise.
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
    double Median() const
    {
        std::vector<double> s = Runs;
        std::sort(s.begin(), s.end());
        return s.empty() ? 0 : s.size() % 2 ? s[s.size() / 2] : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2;
    }
    double Min() const { return *std::min_element(Runs.begin(), Runs.end()); }
    double Max() const { return *std::max_element(Runs.begin(), Runs.end()); }
};

struct TBuild {
    double Ms = 0;
    std::vector<QImage> Tiles; // in list order
    std::vector<int> Gauge;
};

TBuild BuildOnce(TfrmTessaria& w, int workers)
{
    SetThumbnailWorkers(workers);
    w.ThumbFolder.clear();
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
    QTemporaryDir config, photos;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
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
    TStats djpeg, vips, one, two;
    bool same = true;
    const QString vipsOut = QDir(config.path()).filePath("vips");
    QDir().mkpath(vipsOut);
    for (int run = 0; run < runs; ++run) {
        double total = 0;
        for (const std::string& p : paths)
            total += bench::RunProcess({"djpeg", p}).Milliseconds;
        djpeg.Runs.push_back(total);
        TBuild b2 = BuildOnce(w, defaultWorkers);
        two.Runs.push_back(b2.Ms);
        std::vector<std::string> vipsArgs = {"vipsthumbnail", "-s", "64", "-o", (vipsOut + "/%s.jpg").toStdString()};
        vipsArgs.insert(vipsArgs.end(), paths.begin(), paths.end());
        vips.Runs.push_back(bench::RunProcess(vipsArgs).Milliseconds);
        TBuild b1 = BuildOnce(w, 0);
        one.Runs.push_back(b1.Ms);
        same = same && b1.Tiles == b2.Tiles && b1.Gauge == b2.Gauge;
        std::printf("round %d: djpeg %.0f ms, ours (%d workers) %.0f ms, vipsthumbnail %.0f ms, ours (no workers) %.0f ms\n",
                    run + 1, total, defaultWorkers, b2.Ms, vips.Runs.back(), b1.Ms);
        std::fflush(stdout);
    }
    auto line = [](const char* name, const TStats& s) {
        std::printf("%-28s %8.0f ms  (%.0f..%.0f)\n", name, s.Median(), s.Min(), s.Max());
    };
    std::printf("\nmedians of %d rounds, %zu files\n", runs, paths.size());
    line("djpeg, every file once", djpeg);
    line("vipsthumbnail -s 64", vips);
    line("ours, no workers", one);
    line("ours, with workers", two);
    std::printf("ours with workers / djpeg total: %.2f\n", two.Median() / djpeg.Median());
    std::printf("ours no workers / djpeg total:   %.2f\n", one.Median() / djpeg.Median());
    std::printf("ours with workers / vipsthumbnail: %.2f\n", two.Median() / vips.Median());
    std::printf("same tiles, order and gauge on both builds: %s\n", same ? "yes" : "NO");
    return same ? 0 : 1;
}
