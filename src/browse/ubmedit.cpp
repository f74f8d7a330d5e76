#include "browse/ubmedit.h"

#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include "browse/bookmarkfile.h"

namespace tessaria {

TfBMEdit::TfBMEdit(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("fBMEdit");
    setWindowTitle("Edit Bookmarks");
    setFixedSize(390, 273);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setGeometry(8, 8, 281, 257);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const QRect r : {QRect(296, 8, 89, 73), QRect(296, 88, 89, 73)}) {
        auto* bevel = new QFrame(this);
        bevel->setFrameShape(QFrame::Box);
        bevel->setFrameShadow(QFrame::Sunken);
        bevel->setGeometry(r);
    }
    auto button = [this](const char* name, const QString& caption, QRect at, QStyle::StandardPixmap glyph) {
        auto* b = new QPushButton(style()->standardIcon(glyph), caption, this);
        b->setObjectName(name);
        b->setGeometry(at);
        b->setAutoDefault(false);
        return b;
    };
    BitBtn3 = button("BitBtn3", "Up", {304, 16, 75, 25}, QStyle::SP_ArrowUp);
    BitBtn4 = button("BitBtn4", "Down", {304, 48, 75, 25}, QStyle::SP_ArrowDown);
    BitBtn5 = button("BitBtn5", "Delete", {304, 96, 75, 25}, QStyle::SP_TrashIcon);
    BitBtn6 = button("BitBtn6", "Clear", {304, 128, 75, 25}, QStyle::SP_DialogResetButton);
    BitBtn1 = button("BitBtn1", "OK", {304, 200, 73, 25}, QStyle::SP_DialogOkButton);
    BitBtn2 = button("BitBtn2", "Cancel", {304, 240, 73, 25}, QStyle::SP_DialogCancelButton);
    BitBtn1->setDefault(true);
    connect(BitBtn3, &QPushButton::clicked, this, &TfBMEdit::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TfBMEdit::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TfBMEdit::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TfBMEdit::BitBtn6Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList TfBMEdit::Entries() const
{
    QStringList entries;
    for (int i = 0; i < ListBox1->count(); ++i)
        entries << ListBox1->item(i)->text();
    return entries;
}

void TfBMEdit::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfBMEdit::FormShow()
{
    QStringList entries;
    if (ReadBookmarks(BookmarkFilePath(), entries)) {
        ListBox1->clear();
        ListBox1->addItems(entries);
    }
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
}

void TfBMEdit::BitBtn3Click()
{
    const int i = ListBox1->currentRow();
    if (i < 1)
        return;
    ListBox1->insertItem(i - 1, ListBox1->takeItem(i));
    ListBox1->setCurrentRow(i - 1);
}

void TfBMEdit::BitBtn4Click()
{
    const int i = ListBox1->currentRow();
    if (i < 0 || i >= ListBox1->count() - 1)
        return;
    ListBox1->insertItem(i + 1, ListBox1->takeItem(i));
    ListBox1->setCurrentRow(i + 1);
}

void TfBMEdit::BitBtn5Click()
{
    const int i = ListBox1->currentRow();
    if (i < 0)
        return;
    delete ListBox1->takeItem(i);
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
}

void TfBMEdit::BitBtn6Click() { ListBox1->clear(); }

} // namespace tessaria
