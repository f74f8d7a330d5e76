#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "app/appfixture.h"
#include "browse/bookmarkfile.h"
#include "browse/filelistmodel.h"
#include "browse/filelistview.h"
#include "browse/ubmedit.h"
#include "browse/usearch.h"
#include "controls/foldertree.h"
#include "controls/statusbar.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class Browsing : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        SetBookmarkFilePath(QString::fromStdString(Files.File("bookmrks.dat")));
        QDir(Root()).mkpath("Holiday");
        for (const char* f : {"Holiday/a.jpg", "Holiday/a.jpg.jpg", "Holiday/b.jpg", "c.jpg"})
            WriteFile(Files.File(f), std::string("not really a picture"));
    }
    void TearDown() override
    {
        SetBookmarkFilePath(QString());
        AppTest::TearDown();
    }
    QString Root() const { return QString::fromStdString(Files.Path().string()); }
    QStringList MenuEntries(TfrmTessaria& w)
    {
        QStringList entries;
        const QList<QAction*> items = w.Bookmarks1->actions();
        for (int i = 3; i < items.size(); ++i)
            entries << items[i]->data().toString();
        return entries;
    }
    TempDir Files;
};

} // namespace

TEST_F(Browsing, AddingBookmarksFoldersAndFilesAndTheDuplicateMessage)
{
    TfrmTessaria& w = ShowWindow();
    w.TV1->SetDirectory(Root() + "/Holiday");
    w.LV1->SelectRow(-1);
    w.AddBookmark1->trigger();
    EXPECT_EQ(MenuEntries(w), QStringList{Root() + "/Holiday/"});
    w.TV1->SetDirectory(Root() + "/Holiday");
    w.LV1->SelectRow(-1);
    w.AddBookmark1->trigger();
    EXPECT_EQ(Dialogs->LastText(), Root() + "/Holiday/ is already bookmarked!");
    // With one file selected the file is bookmarked too.
    w.LV1->SelectRow(2);
    const QString caption = w.LV1->Model()->Item(2).Texts.Caption;
    w.AddBookmark1->trigger();
    EXPECT_EQ(MenuEntries(w), (QStringList{Root() + "/Holiday/", Root() + "/Holiday/" + caption}));
    QStringList stored;
    ASSERT_TRUE(ReadBookmarks(BookmarkFilePath(), stored));
    EXPECT_EQ(stored, MenuEntries(w));
    // A new window builds the items from the file.
    Window.reset();
    DestroyStartupForms();
    TfrmTessaria& again = ShowWindow();
    EXPECT_EQ(MenuEntries(again), stored);
}

TEST_F(Browsing, GoingToABookmarkSelectsTheFileOrTheFirstThatBeginsLikeIt)
{
    WriteBookmarks(QString::fromStdString(Files.File("bookmrks.dat")),
                   {Root() + "/", Root() + "/Holiday/a.jpg", Root() + "/Holiday/b"});
    TfrmTessaria& w = ShowWindow();
    ASSERT_EQ(MenuEntries(w).size(), 3);
    QList<QAction*> items = w.Bookmarks1->actions();
    items[4]->trigger();
    EXPECT_EQ(w.TV1->Directory(), Root() + "/Holiday");
    ASSERT_EQ(w.LV1->SelectedCount(), 1);
    EXPECT_EQ(w.LV1->Model()->Item(w.LV1->SelectedRow()).Texts.Caption, "a.jpg");
    items[5]->trigger(); // "b" is no file: the first file beginning with it
    EXPECT_EQ(w.LV1->Model()->Item(w.LV1->SelectedRow()).Texts.Caption, "b.jpg");
    items[3]->trigger();
    EXPECT_EQ(w.TV1->Directory(), Root());
}

TEST_F(Browsing, EditingBookmarksOnlyOKMakesChangesLast)
{
    const QStringList five{"/1/", "/2/", "/3/", "/4/", "/5/"};
    WriteBookmarks(BookmarkFilePath(), five);
    TfrmTessaria& w = ShowWindow();
    Dialogs->OnModal = [](QDialog& d) {
        auto& e = static_cast<TfBMEdit&>(d);
        e.FormShow();
        EXPECT_EQ(e.ListBox1->currentRow(), 0);
        e.BitBtn3Click(); // Up on the first: nothing
        e.ListBox1->setCurrentRow(4);
        e.BitBtn4Click(); // Down on the last: nothing
        e.ListBox1->setCurrentRow(2);
        e.BitBtn5Click(); // delete the third
        EXPECT_EQ(e.ListBox1->currentRow(), 0);
        e.ListBox1->setCurrentRow(1);
        e.BitBtn4Click();
        EXPECT_EQ(e.ListBox1->currentRow(), 2);
        return int(QDialog::Accepted);
    };
    w.EditBookmarks1->trigger();
    const QStringList expected{"/1/", "/4/", "/2/", "/5/"};
    EXPECT_EQ(MenuEntries(w), expected);
    QStringList stored;
    ReadBookmarks(BookmarkFilePath(), stored);
    EXPECT_EQ(stored, expected);

    Dialogs->OnModal = [](QDialog& d) {
        auto& e = static_cast<TfBMEdit&>(d);
        e.FormShow();
        e.BitBtn6Click();
        return int(QDialog::Rejected);
    };
    w.EditBookmarks1->trigger();
    EXPECT_EQ(MenuEntries(w), expected);
    ReadBookmarks(BookmarkFilePath(), stored);
    EXPECT_EQ(stored, expected);
}

TEST_F(Browsing, SearchingFindsSortedPathsAndADoubleClickShowsTheFile)
{
    TfrmTessaria& w = ShowWindow();
    QTest::keyClick(w.LV1->Details(), Qt::Key_F3);
    w.tbSearchClick();
    TfSearch* s = fSearch;
    ASSERT_TRUE(s->isVisible());
    EXPECT_EQ(s->SB1->PanelText(0), "Double click filename after a search to view the file");
    s->RG1Buttons->button(0)->click();
    EXPECT_FALSE(s->DriveComboBox1->isEnabled());
    s->RG1Buttons->button(1)->click();
    EXPECT_TRUE(s->DriveComboBox1->isEnabled());
    s->DriveComboBox1->addItem(Root() + "/");
    s->DriveComboBox1->setCurrentIndex(s->DriveComboBox1->count() - 1);
    s->btnFindClick();
    QStringList found;
    for (int i = 0; i < s->ListBox1->count(); ++i)
        found << s->ListBox1->item(i)->text();
    EXPECT_EQ(found, (QStringList{Root() + "/Holiday/a.jpg", Root() + "/Holiday/a.jpg.jpg", Root() + "/Holiday/b.jpg",
                                  Root() + "/c.jpg"}));
    EXPECT_EQ(s->SB1->PanelText(0), "4 files found - Double click filename to view.");
    EXPECT_FALSE(s->Searching);
    EXPECT_TRUE(s->btnFind->isVisible());

    s->ListBox1->setCurrentRow(2);
    s->ListBox1DblClick();
    EXPECT_EQ(w.TV1->Directory(), Root() + "/Holiday");
    EXPECT_EQ(w.LV1->Model()->Item(w.LV1->SelectedRow()).Texts.Caption, "b.jpg");

    s->SearchFor->setText("*.none");
    s->btnFindClick();
    EXPECT_EQ(s->SB1->PanelText(0), "0 files found - Double click filename to view.");
    // The capacity message.
    s->SearchFor->setText("*.jpg");
    s->Capacity = 2;
    s->btnFindClick();
    EXPECT_EQ(s->ListBox1->count(), 2);
    EXPECT_EQ(Dialogs->LastText(), "Number of files exceeds list box capacity.");
    s->hide();
}
