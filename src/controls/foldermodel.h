#pragma once
// The folders the folder tree shows: the places a user starts from (Home,
// Pictures, the file system's root, the mounted volumes) at the top, each
// folder's subfolders read when first needed and read again on Refresh. Names
// that are not UTF-8 are kept as in platform/filenames.

#include <QAbstractItemModel>
#include <QIcon>
#include <memory>
#include <vector>

namespace tessaria {

// A place at the top of the tree.
struct TFolderPlace {
    QString Label;
    QString Path;
    QIcon Icon;
};

// Home, Pictures (when it is a folder of its own), "/" and the mounted volumes
// that hold files.
std::vector<TFolderPlace> StandardFolderPlaces();

// Where a first start opens: the user's Pictures folder, or home without one.
QString FirstStartFolder();

class TFolderModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit TFolderModel(std::vector<TFolderPlace> places, QObject* parent = nullptr);
    ~TFolderModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    QString FilePath(const QModelIndex& index) const;
    // The item of an existing folder, read down from the place whose folder
    // holds it most closely; invalid when none does.
    QModelIndex IndexOf(const QString& path);
    // The folders whose subfolders have been read.
    QStringList LoadedFolders() const;
    // Reads the subfolders of every loaded item of this folder again: gone
    // ones leave, new ones come in their sorted place, the rest stay as they
    // are (with their own subfolders).
    void Refresh(const QString& folder);

private:
    struct TNode;
    TNode* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOfNode(TNode* node) const;
    void Load(TNode* node);
    void RefreshNode(TNode* node);
    TNode* Child(TNode* node, const QString& name);

    std::vector<std::unique_ptr<TNode>> Roots_;
};

} // namespace tessaria
