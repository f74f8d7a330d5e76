#include "controls/foldertree.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QResizeEvent>

#include "controls/foldermodel.h"
#include "platform/filenames.h"

namespace tessaria {

namespace {
// Saving a file makes several notices in a row; they are taken together.
constexpr int NoticeDelayMs = 150;
} // namespace

TFolderTree::TFolderTree(QWidget* parent) : TFolderTree(StandardFolderPlaces(), parent) {}

TFolderTree::TFolderTree(std::vector<TFolderPlace> places, QWidget* parent)
    : QTreeView(parent), Model_(new TFolderModel(std::move(places), this)), Watcher_(new QFileSystemWatcher(this))
{
    setModel(Model_);
    header()->hide();
    setIndentation(19);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        const QString path = Model_->FilePath(current);
        if (path != Pending_)
            Pending_.clear();
        if (path.isEmpty() || path == Last_)
            return;
        Last_ = path;
        Watch();
        emit Change();
    });
    connect(Model_, &QAbstractItemModel::rowsInserted, this, [this] { Watch(); });
    Notices_.setSingleShot(true);
    Notices_.setInterval(NoticeDelayMs);
    connect(&Notices_, &QTimer::timeout, this, &TFolderTree::HandleChangeNotices);
    connect(Watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
        Changed_.insert(path);
        Notices_.start();
    });
}

void TFolderTree::Watch()
{
    // Every folder whose subfolders are shown, and the selected one for its files.
    QStringList wanted = Model_->LoadedFolders();
    if (!Last_.isEmpty())
        wanted << Last_;
    QStringList add;
    for (const QString& folder : wanted)
        // Qt cannot watch a folder whose name is no UTF-8.
        if (QFile::encodeName(folder) == FileNameBytes(folder) && !Watcher_->directories().contains(folder))
            add << folder;
    if (!add.isEmpty())
        Watcher_->addPaths(add);
}

void TFolderTree::HandleChangeNotices()
{
    Notices_.stop();
    const QSet<QString> changed = std::exchange(Changed_, {});
    if (changed.isEmpty())
        return;
    // First away from a folder that is gone, so that removing it from the
    // tree does not carry the selection to a neighbour.
    const QString shown = Directory();
    if (!shown.isEmpty() && !FolderExists(shown))
        SetDirectory(shown);
    for (const QString& folder : changed)
        Model_->Refresh(folder);
    const QStringList stale = Watcher_->directories();
    for (const QString& folder : stale)
        if (!FolderExists(folder))
            Watcher_->removePath(folder);
    Watch();
    if (changed.contains(Last_) && Directory() == shown)
        emit ContentsChanged();
}

void TFolderTree::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    RevealPending();
}

void TFolderTree::showEvent(QShowEvent* event)
{
    QTreeView::showEvent(event);
    RevealPending();
}

bool TFolderTree::viewportEvent(QEvent* event)
{
    // Once the user moves about in the tree, it stays where they put it.
    if (event->type() == QEvent::Wheel || event->type() == QEvent::MouseButtonPress)
        Pending_.clear();
    return QTreeView::viewportEvent(event);
}

void TFolderTree::RevealPending()
{
    if (Pending_.isEmpty())
        return;
    const QModelIndex index = currentIndex();
    if (!index.isValid() || Model_->FilePath(index) != Pending_)
        return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        expand(parent);
    scrollTo(index);
}

QString TFolderTree::Directory() const { return Model_->FilePath(currentIndex()); }

void TFolderTree::SetDirectory(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString folder = NearestExistingFolder(path);
    const QModelIndex index = Model_->IndexOf(folder);
    if (!index.isValid())
        return;
    Pending_ = folder;
    setCurrentIndex(index);
    RevealPending();
}

} // namespace tessaria
