#include "browse/filelistview.h"

#include <QHeaderView>
#include <QListView>
#include <QStandardItemModel>
#include <QTreeView>

namespace tessaria {

TFileListView::TFileListView(QWidget* parent)
    : QStackedWidget(parent), Model_(new QStandardItemModel(0, 4, this)), Details_(new QTreeView(this)),
      Icons_(new QListView(this))
{
    Model_->setHorizontalHeaderLabels({"FileName", "Size", "Type", "Modified"});
    Details_->setObjectName("LV1Details");
    Icons_->setObjectName("LV1Icons");
    Details_->setModel(Model_);
    Icons_->setModel(Model_);
    Icons_->setSelectionModel(Details_->selectionModel());
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(Details_), static_cast<QAbstractItemView*>(Icons_)}) {
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setDragEnabled(true);
        view->setDragDropMode(QAbstractItemView::DragOnly);
    }
    Details_->setRootIsDecorated(false);
    Details_->setUniformRowHeights(true);
    Details_->setSortingEnabled(false);
    Details_->header()->setSectionsClickable(true);
    const int widths[] = {160, 60, 60, 150};
    for (int i = 0; i < 4; ++i)
        Details_->setColumnWidth(i, widths[i]);
    Icons_->setViewMode(QListView::IconMode);
    Icons_->setIconSize(QSize(64, 64));
    Icons_->setResizeMode(QListView::Adjust);
    Icons_->setMovement(QListView::Static);
    Icons_->setWordWrap(true);
    addWidget(Details_);
    addWidget(Icons_);
}

QItemSelectionModel* TFileListView::Selection() const { return Details_->selectionModel(); }

void TFileListView::SetViewStyle(TViewStyle style)
{
    Style_ = style;
    setCurrentWidget(style == TViewStyle::vsReport ? static_cast<QWidget*>(Details_) : static_cast<QWidget*>(Icons_));
}

QWidget* TFileListView::ActiveView() const { return currentWidget(); }

} // namespace tessaria
