#include "controls/foldertree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QResizeEvent>

namespace tessaria {

TFolderTree::TFolderTree(QWidget* parent) : QTreeView(parent), Model_(new QFileSystemModel(this))
{
    Model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    Model_->setReadOnly(true);
    Model_->setRootPath(QDir::rootPath());
    setModel(Model_);
    for (int column = 1; column < Model_->columnCount(); ++column)
        hideColumn(column);
    header()->hide();
    setIndentation(19);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        const QString path = current.isValid() ? Model_->filePath(current) : QString();
        if (path != Pending_)
            Pending_.clear();
        if (path == Last_)
            return;
        Last_ = path;
        emit Change();
    });
    // The model reads folders in the background and sorts them afterwards;
    // each time, the folder set through Directory may have moved.
    connect(Model_, &QFileSystemModel::directoryLoaded, this, [this] { RevealPending(); });
    connect(Model_, &QAbstractItemModel::layoutChanged, this, [this] { RevealPending(); });
}

void TFolderTree::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
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
    const QModelIndex index = Model_->index(Pending_);
    if (!index.isValid())
        return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        expand(parent);
    scrollTo(index);
}

QString TFolderTree::Directory() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? Model_->filePath(current) : QString();
}

void TFolderTree::SetDirectory(const QString& path)
{
    const QString clean = path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QModelIndex index = !clean.isEmpty() && QFileInfo(clean).isDir() ? Model_->index(clean) : QModelIndex();
    if (!index.isValid()) {
        Pending_.clear();
        selectionModel()->clearSelection();
        setCurrentIndex(QModelIndex());
        return;
    }
    Pending_ = clean;
    setCurrentIndex(index);
    RevealPending();
}

} // namespace tessaria
