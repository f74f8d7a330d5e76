#pragma once
// The items of the file list: four column texts and an image index each,
// shared by the details and the large-icon view.

#include <QAbstractTableModel>
#include <QPointer>
#include <cstdint>
#include <vector>

#include "browse/filesort.h"

namespace tessaria {

class TImageList;

// The drag format that tells a drag from the list or the preview apart from
// one coming from the desktop; its data is "list" or "preview".
inline constexpr const char* SourceMimeType = "application/x-tessaria-source";

struct TFileListItem {
    TFileItemTexts Texts;
    int ImageIndex = -1; // into the large images; -1 for none
    int Serial = 0;      // stays with the item while it is moved by sorting
};

class TFileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TFileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

    // Between BeginUpdate and EndUpdate the views see nothing; EndUpdate shows
    // the new items at once.
    void BeginUpdate();
    void EndUpdate();
    void Clear();
    void Add(const TFileItemTexts& texts);

    int Count() const { return int(Items_.size()); }
    const TFileListItem& Item(int row) const { return Items_.at(size_t(row)); }
    // -1 when the item is gone.
    int RowOfSerial(int serial) const;
    void SetImageIndex(int row, int imageIndex);
    void ClearImageIndexes();
    // Changes each time the items are deleted: a serial is an item only
    // together with the generation it was read in.
    uint64_t Generation() const { return Generation_; }

    // Puts the items in this order (indexes of the current rows); the
    // selection moves with its item.
    void Reorder(const std::vector<int>& order);
    std::vector<TFileItemTexts> Texts() const;

    // The folder the items' files are in (for the drag data).
    void SetFolder(const QString& folder) { Folder_ = folder; }
    QString Folder() const { return Folder_; }
    void SetImages(TImageList* images);

private:
    void RebuildSerialIndex();

    std::vector<TFileListItem> Items_;
    std::vector<int> RowOfSerial_;
    QPointer<TImageList> Images_;
    QString Folder_;
    uint64_t Generation_ = 0;
    int UpdateDepth_ = 0;
};

// The drag data of one file: its URL and where the drag came from.
QMimeData* MakeFileDragData(const QString& path, const QString& source);

} // namespace tessaria
