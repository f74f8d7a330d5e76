// The main window's file list: filling it from the selected folder and the
// file mask, sorting it, refreshing it, and wiring its events.
#include <QFileInfo>
#include <cerrno>
#include <unistd.h>

#include "app/utessaria.h"
#include "base/exceptions.h"
#include "platform/busycursor.h"
#include "browse/dragstarter.h"
#include "browse/filecolumns.h"
#include "browse/filelistmodel.h"
#include "browse/filelistview.h"
#include "browse/filemask.h"
#include "browse/filesort.h"
#include "browse/imagelist.h"
#include "controls/foldertree.h"
#include "controls/image.h"
#include "controls/statusbar.h"
#include "platform/errorbox.h"
#include "platform/filenames.h"

namespace tessaria {

namespace {

constexpr int LargeImageSize = 96;
constexpr int LargeImageAllocBy = 20;
constexpr int PreviewDragThreshold = 2;

bool DirectoryExists(const QString& folder) { return FolderExists(folder); }

// One directory entry, its column texts made the first time a pattern names it.
struct TEntry {
    TFolderEntry File;
    bool HaveTexts = false;
    TFileItemTexts Texts;
};

const TFileItemTexts& TextsOf(TEntry& entry, const QLocale& locale)
{
    if (!entry.HaveTexts) {
        const QString& name = entry.File.Name;
        entry.Texts = {name, FileSizeText(entry.File.Stamp.Size), FileTypeText(name),
                       FileModifiedText(entry.File.Stamp.Modified().toLocalTime(), locale)};
        entry.HaveTexts = true;
    }
    return entry.Texts;
}

} // namespace

void TfrmTessaria::ConnectBrowsing()
{
    ImageList1 = new TImageList(LargeImageSize, LargeImageSize, LargeImageAllocBy, this);
    ImageList1->setObjectName("ImageList1");
    LV1->SetLargeImages(ImageList1);
    connect(LV1, &TFileListView::Click, this, [this] { RunCommand([this] { LV1Click(); }); });
    connect(LV1, &TFileListView::Change, this, [this] { RunCommand([this] { LV1Change(); }); });
    connect(LV1, &TFileListView::ColumnClick, this, [this](int column) { RunCommand([&] { LV1ColumnClick(column); }); });
    connect(LV1, &TFileListView::DblClick, this, [this] { RunCommand([this] { ViewImage1Click(); }); });
    PreviewDrag = new TDragStarter(PreImage, PreviewDragThreshold, [this] { return PreviewDragData(); });
}

void TfrmTessaria::TV1Change()
{
    sb1->SetPanelText(0, QString());
    const QString folder = TV1->Directory();
    if (!DirectoryExists(folder))
        return;
    LV1->SetViewStyle(TViewStyle::vsReport);
    RefillFileList();
}

void TfrmTessaria::TV1ContentsChanged()
{
    const QString folder = TV1->Directory();
    if (!DirectoryExists(folder))
        return;
    const int row = LV1->SelectedRow();
    const QString selected = row >= 0 ? LV1->Model()->Item(row).Texts.Caption : QString();
    FillFileList(LV1, folder, sb1, FileMask);
    try {
        SortFileList();
    } catch (const std::exception&) {
        // Left in the order the folder gave; the user's next sort says why.
    }
    if (!selected.isEmpty())
        for (int i = 0; i < LV1->Model()->Count(); ++i)
            if (LV1->Model()->Item(i).Texts.Caption == selected) {
                LV1->SelectRow(i);
                break;
            }
    RebuildChangedThumbnailsLater();
}

void TfrmTessaria::Update1Click()
{
    SortColumn = 0;
    FillFileList(LV1, TV1->Directory(), sb1, FileMask);
    SortFileList();
    RebuildChangedThumbnailsLater();
}

void TfrmTessaria::RebuildChangedThumbnailsLater()
{
    // After the command that refilled the list, so that a build it stopped has
    // unwound first.
    if (LV1->ViewStyle() != TViewStyle::vsIcon)
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (LV1->ViewStyle() == TViewStyle::vsIcon)
                RunCommand([this] { BuildSmallThumbnails(); });
        },
        Qt::QueuedConnection);
}

void TfrmTessaria::FillFileList(TFileListView* list, const QString& folder, TStatusBar* statusBar, const QString& mask)
{
    if (!windowHandle())
        return;
    if (DirectoryExists(folder) && ::chdir(FileNameBytes(folder).constData()) != 0)
        throw EInOutError("I/O error " + std::to_string(errno));

    TFileListModel& model = *list->Model();
    struct TFinally {
        TFileListModel& Model;
        TStatusBar* Bar;
        TFileListView* List;
        ~TFinally()
        {
            Model.EndUpdate();
            List->FitColumnToTexts(fcModified);
            if (Bar)
                Bar->SetPanelText(0, QString::number(Model.Count()) + " files");
        }
    };
    TBusyCursor busy;
    // A thumbnail build for the old items ends; its workers need not finish.
    StopThumbnailWorkers();
    model.BeginUpdate();
    TFinally done{model, statusBar, list};
    model.Clear();
    const QString current = CurrentFolder();
    model.SetFolder(current);

    const QStringList patterns = SplitFileMask(mask);
    if (patterns.isEmpty())
        return;
    // One pass over the folder; each pattern then lists its names in the
    // order the file system gave them. Normal files only: no folders, nothing
    // hidden.
    std::vector<TEntry> entries;
    for (TFolderEntry& file : FolderEntries(current))
        if (file.Stamp.RegularFile && !file.Name.startsWith('.'))
            entries.push_back(TEntry{std::move(file), false, {}});
    const QLocale locale; // the system's, unless a default was set
    for (const QString& pattern : patterns)
        for (TEntry& entry : entries)
            if (MatchesFilePattern(entry.File.Name, pattern))
                model.Add(TextsOf(entry, locale));
}

void TfrmTessaria::RefillFileList()
{
    FillFileList(LV1, TV1->Directory(), sb1, FileMask);
    SortFileList();
}

void TfrmTessaria::SortFileList()
{
    TFileListModel& model = *LV1->Model();
    model.Reorder(SortedFileOrder(model.Texts(), SortColumn, SortAscending));
    LV1->ShowSortIndicator(SortColumn, SortAscending);
}

int TfrmTessaria::LV1Compare(int row1, int row2) const
{
    const TFileListModel& model = *LV1->Model();
    return CompareFileItems(SortColumn, SortAscending, model.Item(row1).Texts, model.Item(row2).Texts);
}

void TfrmTessaria::LV1ColumnClick(int column)
{
    if (column != SortColumn) {
        SortColumn = column;
        SortAscending = true;
    } else {
        SortAscending = !SortAscending;
    }
    try {
        SortFileList();
    } catch (const std::exception&) {
        Dialogs().ShowMessage("Error sorting items");
    }
}

void TfrmTessaria::LV1Click() { ShowPreview(); }

void TfrmTessaria::LV1Change() { ShowPreview(); }

} // namespace tessaria
