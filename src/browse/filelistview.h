#pragma once
// The file list: one model shown in two views that share one selection, a
// details table with four columns and a large-icon view of 64 x 64 tiles with
// the name below. Read-only, one selected item at a time.

#include <QStackedWidget>

#include "browse/filelistmodel.h"

class QListView;
class QItemSelectionModel;
class QTreeView;

namespace tessaria {

class TImageList;

enum class TViewStyle { vsReport, vsIcon };

class TFileListView : public QStackedWidget {
    Q_OBJECT
public:
    explicit TFileListView(QWidget* parent = nullptr);

    TFileListModel* Model() const { return Model_; }
    QItemSelectionModel* Selection() const;
    QTreeView* Details() const { return Details_; }
    QListView* Icons() const { return Icons_; }

    TViewStyle ViewStyle() const { return Style_; }
    void SetViewStyle(TViewStyle style);
    // The view the user sees now.
    QWidget* ActiveView() const;

    // The large images the icon view shows.
    void SetLargeImages(TImageList* images);
    int IconTileSize() const { return 64; }

    // Widens a column to its longest text (never below its designed width).
    void FitColumnToTexts(int column);
    // The header's arrow on the sort column, pointing the sort's way.
    void ShowSortIndicator(int column, bool ascending);

    int SelectedCount() const;
    // The selected row, or -1.
    int SelectedRow() const;
    // Selects one row (or none with -1) and makes it current.
    void SelectRow(int row);

signals:
    void Click();
    void Change();
    void ColumnClick(int column);
    void DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TFileListModel* Model_;
    QTreeView* Details_;
    QListView* Icons_;
    TViewStyle Style_ = TViewStyle::vsReport;
};

} // namespace tessaria
