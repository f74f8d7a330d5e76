// The main window's bookmark and search commands (the rest of browsing is in
// filelist.cpp, preview.cpp, thumbnails.cpp and viewer.cpp).
#include <QApplication>
#include <QMenu>

#include "app/forms.h"
#include "app/utessaria.h"
#include "base/paths.h"
#include "browse/bookmarkfile.h"
#include "browse/filelistmodel.h"
#include "browse/filelistview.h"
#include "browse/ubmedit.h"
#include "browse/usearch.h"
#include "controls/foldertree.h"
#include "platform/busycursor.h"
#include "platform/dialogs.h"
#include "platform/errorbox.h"

namespace tessaria {

QAction* TfrmTessaria::AddBookmarkItem(const QString& entry)
{
    // The caption shows the entry as it is; a "&" is no mnemonic here.
    auto* item = new QAction(QString(entry).replace('&', "&&"), Bookmarks1);
    item->setObjectName("Bookmark");
    item->setData(entry);
    Bookmarks1->addAction(item);
    connect(item, &QAction::triggered, this, [this, item] { RunCommand([this, item] { BookmarkClick(item); }); });
    return item;
}

void TfrmTessaria::BuildBookmarkItems()
{
    const QList<QAction*> items = Bookmarks1->actions();
    for (int i = 3; i < items.size(); ++i)
        delete items[i];
    Bookmarks.clear();
    if (!ReadBookmarks(BookmarkFilePath(), Bookmarks))
        return; // no bookmarks yet
    for (const QString& entry : Bookmarks)
        AddBookmarkItem(entry);
}

void TfrmTessaria::AddBookmark1Click()
{
    Bookmarks.clear();
    ReadBookmarks(BookmarkFilePath(), Bookmarks);
    QString entry = QString::fromStdString(WithTrailingBackslash(TV1->Directory().toStdString()));
    if (LV1->SelectedCount() == 1)
        entry += LV1->Model()->Item(LV1->SelectedRow()).Texts.Caption;
    for (const QString& known : Bookmarks)
        if (known.compare(entry, Qt::CaseInsensitive) == 0) {
            Dialogs().ShowMessage(entry + " is already bookmarked!");
            return;
        }
    Bookmarks << entry;
    AddBookmarkItem(entry);
    WriteBookmarks(BookmarkFilePath(), Bookmarks);
}

void TfrmTessaria::ShowFolderAndFile(const QString& path)
{
    TV1->SetDirectory(BookmarkFolder(path));
    const QString name = BookmarkName(path);
    if (name.isEmpty() || name == " ")
        return;
    QStringList captions;
    for (int i = 0; i < LV1->Model()->Count(); ++i)
        captions << LV1->Model()->Item(i).Texts.Caption;
    const int row = FirstCaptionStartingWith(captions, name);
    if (row >= 0)
        LV1->SelectRow(row);
}

void TfrmTessaria::BookmarkClick(QAction* sender)
{
    if (sender)
        ShowFolderAndFile(sender->data().toString());
}

void TfrmTessaria::EditBookmarks1Click()
{
    CreateStartupForms();
    if (Dialogs().ExecModal(*fBMEdit) != QDialog::Accepted)
        return;
    const QStringList entries = fBMEdit->Entries();
    WriteBookmarks(BookmarkFilePath(), entries);
    Bookmarks = entries;
    BuildBookmarkItems();
}

void TfrmTessaria::tbSearchClick()
{
    CreateStartupForms();
    static QPointer<TfSearch> connected;
    if (connected != fSearch) {
        connected = fSearch;
        connect(fSearch, &TfSearch::ShowFile, this, [this](const QString& path) {
            TBusyCursor busy;
            RunCommand([&] { ShowFolderAndFile(path); });
        });
    }
    // A minimised window comes back to where it was; a hidden one opens.
    if (fSearch->isMinimized())
        fSearch->setWindowState((fSearch->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    fSearch->show();
    fSearch->raise();
    fSearch->activateWindow();
}

} // namespace tessaria
