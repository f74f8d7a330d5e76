#include "controls/foldermodel.h"

#include <QApplication>
#include <QCollator>
#include <QDir>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>
#include <algorithm>
#include <functional>

#include "platform/filenames.h"

namespace tessaria {

struct TFolderModel::TNode {
    QString Name; // shown
    QString Path;
    QIcon Icon;
    TNode* Parent = nullptr;
    std::vector<std::unique_ptr<TNode>> Children;
    bool Loaded = false;
    mutable int HasChildren = -1; // -1 not probed yet
    int Row() const;
};

namespace {

bool Under(const QString& path, const QString& folder)
{
    if (folder == "/")
        return path.startsWith('/');
    return path == folder || path.startsWith(folder + '/');
}

QCollator& NameOrder()
{
    static QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        return c;
    }();
    return collator;
}

bool Before(const QString& a, const QString& b)
{
    const int order = NameOrder().compare(a, b);
    return order != 0 ? order < 0 : a < b;
}

} // namespace

int TFolderModel::TNode::Row() const
{
    if (!Parent)
        return -1;
    for (size_t i = 0; i < Parent->Children.size(); ++i)
        if (Parent->Children[i].get() == this)
            return int(i);
    return -1;
}

QString FirstStartFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && FolderExists(pictures))
        return pictures;
    return QDir::homePath();
}

std::vector<TFolderPlace> StandardFolderPlaces()
{
    QStyle* style = QApplication::style();
    const QIcon folder = style->standardIcon(QStyle::SP_DirIcon);
    const QIcon drive = style->standardIcon(QStyle::SP_DriveHDIcon);
    std::vector<TFolderPlace> places;
    const QString home = QDir::homePath();
    if (FolderExists(home))
        places.push_back({QStringLiteral("Home"), home, style->standardIcon(QStyle::SP_DirHomeIcon)});
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && pictures != home && FolderExists(pictures))
        places.push_back({QStringLiteral("Pictures"), pictures, QIcon::fromTheme("folder-pictures", folder)});
    places.push_back({QStringLiteral("File System"), QStringLiteral("/"), drive});
    static const QStringList system = {"/proc", "/sys", "/dev", "/run", "/boot", "/snap", "/var", "/usr", "/etc",
                                       "/tmp", "/opt", "/srv"};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || !volume.isReady() || root == "/" || root == home)
            continue;
        const bool removable = root.startsWith("/media/") || root.startsWith("/run/media/") || root.startsWith("/mnt/");
        const bool systemFolder = std::any_of(system.begin(), system.end(), [&](const QString& s) { return Under(root, s); });
        if (!removable && systemFolder)
            continue;
        if (volume.fileSystemType() == "overlay" || volume.fileSystemType() == "tmpfs")
            continue;
        const QString label = volume.displayName().isEmpty() ? root : volume.displayName();
        places.push_back({label, root, drive});
    }
    return places;
}

TFolderModel::TFolderModel(std::vector<TFolderPlace> places, QObject* parent) : QAbstractItemModel(parent)
{
    for (TFolderPlace& place : places) {
        auto node = std::make_unique<TNode>();
        node->Name = place.Label;
        node->Path = place.Path;
        node->Icon = place.Icon;
        Roots_.push_back(std::move(node));
    }
}

TFolderModel::~TFolderModel() = default;

TFolderModel::TNode* TFolderModel::NodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<TNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TFolderModel::IndexOfNode(TNode* node) const
{
    if (!node)
        return QModelIndex();
    int row = -1;
    if (node->Parent) {
        row = node->Row();
    } else {
        for (size_t i = 0; i < Roots_.size(); ++i)
            if (Roots_[i].get() == node)
                row = int(i);
    }
    return row < 0 ? QModelIndex() : createIndex(row, 0, node);
}

QModelIndex TFolderModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    if (!parent.isValid())
        return size_t(row) < Roots_.size() ? createIndex(row, 0, Roots_[size_t(row)].get()) : QModelIndex();
    TNode* node = NodeOf(parent);
    return size_t(row) < node->Children.size() ? createIndex(row, 0, node->Children[size_t(row)].get())
                                               : QModelIndex();
}

QModelIndex TFolderModel::parent(const QModelIndex& child) const
{
    TNode* node = NodeOf(child);
    return node ? IndexOfNode(node->Parent) : QModelIndex();
}

int TFolderModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(Roots_.size());
    return int(NodeOf(parent)->Children.size());
}

int TFolderModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TFolderModel::data(const QModelIndex& index, int role) const
{
    const TNode* node = NodeOf(index);
    if (!node)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole: return node->Parent ? DisplayFileName(node->Name) : node->Name;
    case Qt::DecorationRole: return node->Icon;
    case Qt::ToolTipRole: return DisplayFileName(node->Path);
    default: return QVariant();
    }
}

bool TFolderModel::hasChildren(const QModelIndex& parent) const
{
    const TNode* node = NodeOf(parent);
    if (!node)
        return !Roots_.empty();
    if (node->Loaded)
        return !node->Children.empty();
    if (node->HasChildren < 0)
        node->HasChildren = HasSubfolder(node->Path) ? 1 : 0;
    return node->HasChildren == 1;
}

bool TFolderModel::canFetchMore(const QModelIndex& parent) const
{
    const TNode* node = NodeOf(parent);
    return node && !node->Loaded;
}

void TFolderModel::fetchMore(const QModelIndex& parent)
{
    if (TNode* node = NodeOf(parent))
        Load(node);
}

void TFolderModel::Load(TNode* node)
{
    if (node->Loaded)
        return;
    node->Loaded = true;
    QStringList names = SubfolderNames(node->Path);
    std::sort(names.begin(), names.end(), Before);
    if (names.isEmpty())
        return;
    const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    beginInsertRows(IndexOfNode(node), 0, int(names.size()) - 1);
    for (const QString& name : names) {
        auto child = std::make_unique<TNode>();
        child->Name = name;
        child->Path = JoinPath(node->Path, name);
        child->Icon = icon;
        child->Parent = node;
        node->Children.push_back(std::move(child));
    }
    endInsertRows();
}

TFolderModel::TNode* TFolderModel::Child(TNode* node, const QString& name)
{
    Load(node);
    for (auto& child : node->Children)
        if (child->Name == name)
            return child.get();
    // A folder the tree does not list (a hidden one reached by its path).
    const QString path = JoinPath(node->Path, name);
    if (!FolderExists(path))
        return nullptr;
    auto child = std::make_unique<TNode>();
    child->Name = name;
    child->Path = path;
    child->Icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    child->Parent = node;
    const auto at = std::find_if(node->Children.begin(), node->Children.end(),
                                 [&](const auto& other) { return Before(name, other->Name); });
    const int row = int(at - node->Children.begin());
    beginInsertRows(IndexOfNode(node), row, row);
    TNode* result = child.get();
    node->Children.insert(at, std::move(child));
    endInsertRows();
    return result;
}

QModelIndex TFolderModel::IndexOf(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    if (!clean.startsWith('/') || !FolderExists(clean))
        return QModelIndex();
    TNode* best = nullptr;
    for (auto& root : Roots_)
        if (Under(clean, root->Path) && (!best || root->Path.size() > best->Path.size()))
            best = root.get();
    if (!best)
        return QModelIndex();
    const QString rest = clean.mid(best->Path == "/" ? 1 : best->Path.size() + 1);
    TNode* node = best;
    for (const QString& name : rest.split('/', Qt::SkipEmptyParts)) {
        node = Child(node, name);
        if (!node)
            return QModelIndex();
    }
    return IndexOfNode(node);
}

QString TFolderModel::FilePath(const QModelIndex& index) const
{
    const TNode* node = NodeOf(index);
    return node ? node->Path : QString();
}

QStringList TFolderModel::LoadedFolders() const
{
    QStringList folders;
    std::function<void(const TNode*)> walk = [&](const TNode* node) {
        if (!node->Loaded)
            return;
        folders << node->Path;
        for (const auto& child : node->Children)
            walk(child.get());
    };
    for (const auto& root : Roots_)
        walk(root.get());
    return folders;
}

void TFolderModel::Refresh(const QString& folder)
{
    std::function<void(TNode*)> walk = [&](TNode* node) {
        if (node->Path == folder)
            RefreshNode(node);
        if (!node->Loaded)
            return;
        for (size_t i = 0; i < node->Children.size(); ++i)
            if (Under(folder, node->Children[i]->Path))
                walk(node->Children[i].get());
    };
    for (auto& root : Roots_)
        if (Under(folder, root->Path))
            walk(root.get());
}

void TFolderModel::RefreshNode(TNode* node)
{
    node->HasChildren = -1;
    if (!node->Loaded)
        return;
    QStringList names = SubfolderNames(node->Path);
    const QModelIndex parent = IndexOfNode(node);
    for (int row = int(node->Children.size()) - 1; row >= 0; --row) {
        TNode* child = node->Children[size_t(row)].get();
        if (names.contains(child->Name) || (child->Name.startsWith('.') && FolderExists(child->Path)))
            continue;
        beginRemoveRows(parent, row, row);
        node->Children.erase(node->Children.begin() + row);
        endRemoveRows();
    }
    for (const QString& name : names)
        Child(node, name);
}

} // namespace tessaria
