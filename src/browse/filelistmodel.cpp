#include "browse/filelistmodel.h"

#include <QMimeData>
#include <set>
#include <QUrl>

#include "browse/filecolumns.h"
#include "browse/imagelist.h"
#include "platform/filenames.h"

namespace tessaria {

namespace {
const char* const Headers[FileColumnCount] = {"FileName", "Size", "Type", "Modified"};
}

TFileListModel::TFileListModel(QObject* parent) : QAbstractTableModel(parent) {}

int TFileListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Count(); }

int TFileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FileColumnCount; }

QVariant TFileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return QVariant();
    const TFileListItem& item = Items_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case fcName: return DisplayFileName(item.Texts.Caption);
        case fcSize: return item.Texts.Size;
        case fcType: return item.Texts.Type;
        case fcModified: return item.Texts.Modified;
        default: return QVariant();
        }
    case Qt::TextAlignmentRole:
        if (index.column() == fcName)
            return QVariant();
        return int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::DecorationRole:
        if (index.column() == fcName && item.ImageIndex >= 0 && Images_) {
            const QPixmap image = Images_->Image(item.ImageIndex);
            if (!image.isNull())
                return image;
        }
        return QVariant();
    default: return QVariant();
    }
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= FileColumnCount)
        return QVariant();
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(Headers[section]);
    if (role == Qt::TextAlignmentRole)
        return int((section == fcName ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    return QVariant();
}

Qt::ItemFlags TFileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList TFileListModel::mimeTypes() const { return {QStringLiteral("text/uri-list"), SourceMimeType}; }

QMimeData* TFileListModel::mimeData(const QModelIndexList& indexes) const
{
    // Every file of the selection, in list order.
    std::set<int> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid() && index.row() < Count())
            rows.insert(index.row());
    QMimeData* data = nullptr;
    QList<QUrl> urls;
    for (const int row : rows) {
        QMimeData* one = MakeFileDragData(JoinPath(Folder_, Items_[size_t(row)].Texts.Caption), "list");
        urls += one->urls();
        if (!data)
            data = one;
        else
            delete one;
    }
    if (data && urls.size() > 1)
        data->setUrls(urls);
    return data;
}

QMimeData* MakeFileDragData(const QString& path, const QString& source)
{
    auto* data = new QMimeData;
    // The URL keeps the name's bytes, also those of a name that is no UTF-8.
    if (!path.isEmpty())
        data->setUrls({QUrl::fromEncoded(FileUri(path))});
    data->setData(SourceMimeType, source.toUtf8());
    return data;
}

void TFileListModel::BeginUpdate()
{
    if (UpdateDepth_++ == 0)
        beginResetModel();
}

void TFileListModel::EndUpdate()
{
    if (UpdateDepth_ == 0 || --UpdateDepth_ > 0)
        return;
    RebuildSerialIndex();
    endResetModel();
}

void TFileListModel::Clear()
{
    ++Generation_;
    if (UpdateDepth_ > 0) {
        Items_.clear();
        return;
    }
    beginResetModel();
    Items_.clear();
    RebuildSerialIndex();
    endResetModel();
}

void TFileListModel::Add(const TFileItemTexts& texts)
{
    TFileListItem item;
    item.Texts = texts;
    item.Serial = int(Items_.size());
    if (UpdateDepth_ > 0) {
        Items_.push_back(std::move(item));
        return;
    }
    const int row = Count();
    beginInsertRows(QModelIndex(), row, row);
    Items_.push_back(std::move(item));
    RowOfSerial_.push_back(row);
    endInsertRows();
}

int TFileListModel::RowOfSerial(int serial) const
{
    return serial >= 0 && size_t(serial) < RowOfSerial_.size() ? RowOfSerial_[size_t(serial)] : -1;
}

void TFileListModel::SetImageIndex(int row, int imageIndex)
{
    TFileListItem& item = Items_.at(size_t(row));
    if (item.ImageIndex == imageIndex)
        return;
    item.ImageIndex = imageIndex;
    const QModelIndex at = index(row, fcName);
    emit dataChanged(at, at, {Qt::DecorationRole});
}

void TFileListModel::ClearImageIndexes()
{
    for (TFileListItem& item : Items_)
        item.ImageIndex = -1;
    if (!Items_.empty())
        emit dataChanged(index(0, fcName), index(Count() - 1, fcName), {Qt::DecorationRole});
}

void TFileListModel::Reorder(const std::vector<int>& order)
{
    if (order.size() != Items_.size())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    std::vector<TFileListItem> sorted;
    sorted.reserve(Items_.size());
    for (size_t to = 0; to < order.size(); ++to) {
        newRowOf[size_t(order[to])] = int(to);
        sorted.push_back(std::move(Items_[size_t(order[to])]));
    }
    Items_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after << (i.row() < int(newRowOf.size()) ? index(newRowOf[size_t(i.row())], i.column()) : QModelIndex());
    changePersistentIndexList(before, after);
    RebuildSerialIndex();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::vector<TFileItemTexts> TFileListModel::Texts() const
{
    std::vector<TFileItemTexts> texts;
    texts.reserve(Items_.size());
    for (const TFileListItem& item : Items_)
        texts.push_back(item.Texts);
    return texts;
}

void TFileListModel::SetImages(TImageList* images)
{
    if (Images_)
        disconnect(Images_, nullptr, this, nullptr);
    Images_ = images;
    if (images)
        connect(images, &TImageList::Cleared, this, [this] {
            if (!Items_.empty())
                emit dataChanged(index(0, fcName), index(Count() - 1, fcName), {Qt::DecorationRole});
        });
}

void TFileListModel::RebuildSerialIndex()
{
    RowOfSerial_.assign(Items_.size(), -1);
    for (size_t row = 0; row < Items_.size(); ++row)
        RowOfSerial_[size_t(Items_[row].Serial)] = int(row);
}

} // namespace tessaria
