#pragma once
// The folder tree: a read-only tree of folders under the places a user starts
// from (Home, Pictures, the file system, the mounted volumes) that follows
// changes on disk by itself. Directory reads the selected folder's path (empty
// only before anything was selected) and, when set, expands the tree down to
// the folder and selects it; a folder that does not exist selects its nearest
// existing parent instead. Change fires whenever the selected folder changes,
// also when set through Directory. When the selected folder is deleted the
// tree moves to its nearest existing parent; when files in it change,
// ContentsChanged fires.

#include <QSet>
#include <QTimer>
#include <QTreeView>

class QFileSystemWatcher;

namespace tessaria {

class TFolderModel;
struct TFolderPlace;

class TFolderTree : public QTreeView {
    Q_OBJECT
    Q_PROPERTY(QString Directory READ Directory WRITE SetDirectory)
public:
    explicit TFolderTree(QWidget* parent = nullptr);
    // With places of the caller's choosing instead of the standard ones.
    TFolderTree(std::vector<TFolderPlace> places, QWidget* parent = nullptr);

    QString Directory() const;
    // An empty path changes nothing.
    void SetDirectory(const QString& path);
    TFolderModel* Model() const { return Model_; }

    // Handles the change notices that have come in (they are otherwise
    // handled a moment after they come, so that a burst counts once).
    void HandleChangeNotices();

signals:
    void Change();
    void ContentsChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void RevealPending();
    void Watch();

    TFolderModel* Model_;
    QFileSystemWatcher* Watcher_;
    QTimer Notices_;
    QSet<QString> Changed_;
    QString Last_;
    // A folder set through Directory that is to be scrolled into view once
    // the tree has its size.
    QString Pending_;
};

} // namespace tessaria
