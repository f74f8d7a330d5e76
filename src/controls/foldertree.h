#pragma once
// The folder tree: a read-only tree of the file system's folders that follows
// changes on disk by itself (the model watches the folders it shows).
// Directory reads the selected folder's path (empty when none) and, when set,
// expands the tree down to the path and selects it; Change fires whenever the
// selected folder changes, also when set through Directory.

#include <QTreeView>

class QFileSystemModel;

namespace tessaria {

class TFolderTree : public QTreeView {
    Q_OBJECT
    Q_PROPERTY(QString Directory READ Directory WRITE SetDirectory)
public:
    explicit TFolderTree(QWidget* parent = nullptr);

    QString Directory() const;
    // An empty or missing path clears the selection.
    void SetDirectory(const QString& path);
    QFileSystemModel* Model() const { return Model_; }

signals:
    void Change();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void RevealPending();

    QFileSystemModel* Model_;
    QString Last_;
    // A folder set through Directory whose parents the model is still reading.
    QString Pending_;
};

} // namespace tessaria
