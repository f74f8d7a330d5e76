#include "browse/filelistview.h"

#include <QEvent>
#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QFontMetrics>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

#include "browse/filecolumns.h"
#include "browse/filelistmodel.h"

namespace tessaria {

namespace {

// The details view shows no large images, as a report view has only small ones.
class TTextOnlyDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features &= ~QStyleOptionViewItem::HasDecoration;
        option->icon = QIcon();
        option->decorationSize = QSize();
    }
};

constexpr int TileSize = 64;

// Every tile of the icon view keeps its 64 x 64 place, with a thumbnail or not,
// so that the rows line up and the names sit under the tiles.
class TTileDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->decorationSize = QSize(TileSize, TileSize);
        if (option->icon.isNull())
            option->icon = Blank();
    }

private:
    static const QIcon& Blank()
    {
        static const QIcon blank = [] {
            QPixmap empty(TileSize, TileSize);
            empty.fill(Qt::transparent);
            return QIcon(empty);
        }();
        return blank;
    }
};
constexpr int ColumnWidths[FileColumnCount] = {160, 60, 60, 150};

} // namespace

TFileListView::TFileListView(QWidget* parent)
    : QStackedWidget(parent), Model_(new TFileListModel(this)), Details_(new QTreeView(this)),
      Icons_(new QListView(this))
{
    Details_->setObjectName("LV1Details");
    Icons_->setObjectName("LV1Icons");
    Details_->setModel(Model_);
    Icons_->setModel(Model_);
    Icons_->setSelectionModel(Details_->selectionModel());
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(Details_), static_cast<QAbstractItemView*>(Icons_)}) {
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // Several files can be chosen, to drag or arrange them together.
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setDragEnabled(true);
        view->setDragDropMode(QAbstractItemView::DragOnly);
        view->setDefaultDropAction(Qt::CopyAction);
        view->viewport()->installEventFilter(this);
        // The selection stays as visible without the focus as with it.
        QPalette colours = view->palette();
        for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
            colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
        view->setPalette(colours);
    }
    Details_->setItemDelegate(new TTextOnlyDelegate(Details_));
    Icons_->setItemDelegate(new TTileDelegate(Icons_));
    Details_->setRootIsDecorated(false);
    Details_->setItemsExpandable(false);
    Details_->setUniformRowHeights(true);
    Details_->setAllColumnsShowFocus(true);
    Details_->setSortingEnabled(false);
    Details_->header()->setSectionsClickable(true);
    Details_->header()->setSectionsMovable(false);
    Details_->header()->setStretchLastSection(false);
    Details_->header()->setSortIndicatorShown(true);
    Details_->header()->setSortIndicator(0, Qt::AscendingOrder);
    for (int i = 0; i < FileColumnCount; ++i)
        Details_->setColumnWidth(i, ColumnWidths[i]);
    Icons_->setViewMode(QListView::IconMode);
    Icons_->setIconSize(QSize(TileSize, TileSize));
    Icons_->setGridSize(QSize(TileSize + 28, TileSize + 2 * Icons_->fontMetrics().height() + 8));
    Icons_->setUniformItemSizes(true);
    Icons_->setResizeMode(QListView::Adjust);
    Icons_->setMovement(QListView::Static);
    Icons_->setFlow(QListView::LeftToRight);
    Icons_->setWrapping(true);
    Icons_->setWordWrap(true);
    Icons_->setTextElideMode(Qt::ElideRight);
    // A static icon view turns dragging off; items still drag onto pages.
    Icons_->setDragEnabled(true);
    addWidget(Details_);
    addWidget(Icons_);

    connect(Details_->header(), &QHeaderView::sectionClicked, this, &TFileListView::ColumnClick);
    connect(Selection(), &QItemSelectionModel::selectionChanged, this, &TFileListView::Change);
}

bool TFileListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Details_->viewport() || watched == Icons_->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            emit Click();
        else if (event->type() == QEvent::MouseButtonDblClick)
            emit DblClick();
    }
    return QStackedWidget::eventFilter(watched, event);
}

void TFileListView::FitColumnToTexts(int column)
{
    if (column < 0 || column >= FileColumnCount)
        return;
    const QFontMetrics metrics(Details_->font());
    int widest = 0;
    for (int row = 0; row < Model_->Count(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(Model_->index(row, column).data().toString()));
    // Room for the cell's margins on both sides.
    const int margins = 2 * (Details_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, Details_) + 1) + 8;
    Details_->setColumnWidth(column, std::max(ColumnWidths[column], widest + margins));
}

void TFileListView::ShowSortIndicator(int column, bool ascending)
{
    QHeaderView* header = Details_->header();
    const QSignalBlocker quiet(header);
    header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QItemSelectionModel* TFileListView::Selection() const { return Details_->selectionModel(); }

void TFileListView::SetViewStyle(TViewStyle style)
{
    Style_ = style;
    setCurrentWidget(style == TViewStyle::vsReport ? static_cast<QWidget*>(Details_) : static_cast<QWidget*>(Icons_));
    if (QAbstractItemView* view = qobject_cast<QAbstractItemView*>(currentWidget()))
        if (view->currentIndex().isValid())
            view->scrollTo(view->currentIndex());
}

QWidget* TFileListView::ActiveView() const { return currentWidget(); }

void TFileListView::SetLargeImages(TImageList* images) { Model_->SetImages(images); }

int TFileListView::SelectedCount() const { return int(Selection()->selectedRows().size()); }

int TFileListView::SelectedRow() const
{
    const QModelIndexList rows = Selection()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

void TFileListView::SelectRow(int row)
{
    if (row < 0 || row >= Model_->Count()) {
        Selection()->clear();
        return;
    }
    const QModelIndex index = Model_->index(row, 0);
    Selection()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (QAbstractItemView* view = qobject_cast<QAbstractItemView*>(currentWidget()))
        view->scrollTo(index);
}

} // namespace tessaria
