#pragma once
// The file list: one model shown in two views that share one selection, a
// details table with four columns and a large-icon view of 64 x 64 tiles.

#include <QStackedWidget>

class QStandardItemModel;
class QTreeView;
class QListView;
class QItemSelectionModel;

namespace tessaria {

enum class TViewStyle { vsReport, vsIcon };

class TFileListView : public QStackedWidget {
    Q_OBJECT
public:
    explicit TFileListView(QWidget* parent = nullptr);

    QStandardItemModel* Model() const { return Model_; }
    QItemSelectionModel* Selection() const;
    QTreeView* Details() const { return Details_; }
    QListView* Icons() const { return Icons_; }

    TViewStyle ViewStyle() const { return Style_; }
    void SetViewStyle(TViewStyle style);
    // The view the user sees now.
    QWidget* ActiveView() const;

private:
    QStandardItemModel* Model_;
    QTreeView* Details_;
    QListView* Icons_;
    TViewStyle Style_ = TViewStyle::vsReport;
};

} // namespace tessaria
