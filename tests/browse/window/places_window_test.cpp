// The browser as a user meets it on an installed copy: bookmarks in the
// user's data folder, folders that vanish, names that are no UTF-8, and the
// thumbnails the desktop shares.
#include <QCryptographicHash>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>
#include <QProcess>
#include <sys/stat.h>

#include "browse/bookmarkfile.h"
#include "browse/sharedthumbnails.h"
#include "browse/uview.h"
#include "browse/window/browsefixture.h"
#include "controls/image.h"
#include "platform/filenames.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class Places : public BrowseTest {
protected:
    void TearDown() override
    {
        if (!ProgramFile.isEmpty())
            QFile::remove(ProgramFile);
        BrowseTest::TearDown();
    }
    static QStringList MenuEntries(TfrmTessaria& w)
    {
        QStringList entries;
        const QList<QAction*> items = w.Bookmarks1->actions();
        for (int i = 3; i < items.size(); ++i)
            entries << items[i]->data().toString();
        return entries;
    }
    // Runs a Python script with arguments; its output, or "failed".
    static QString Python(const QString& python, const QString& script, const QStringList& arguments)
    {
        QProcess process;
        process.start(python, QStringList{"-c", script} + arguments);
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return "failed: " + QString::fromLocal8Bit(process.readAllStandardError());
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
    // The python3 of the system, with Pillow and GLib's bindings, or empty.
    static QString SystemPython()
    {
        for (const char* python : {"/usr/bin/python3", "python3"})
            if (Python(python, "import PIL, gi", {}).isEmpty())
                return python;
        return QString();
    }
    QString ProgramFile;
};

} // namespace

TEST_F(Places, BookmarksLiveInTheUsersDataFolderAndTheProgramFoldersFileIsTakenOverOnce)
{
    const QString mine = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/bookmrks.dat";
    ASSERT_TRUE(mine.startsWith(Q(Config.Path()))) << mine.toStdString();
    ASSERT_EQ(BookmarkFilePath(), mine);
    // An older version's file beside the program.
    ProgramFile = ProgramFolderBookmarkFilePath();
    QDir(Folder()).mkpath("old");
    {
        QFile file(ProgramFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write((PathOf("old") + "/\r\n").toUtf8());
    }
    TfrmTessaria& w = Browse(Folder());
    EXPECT_EQ(MenuEntries(w), QStringList{PathOf("old") + "/"});
    EXPECT_TRUE(QFileInfo::exists(mine));

    // From now on only the user's file counts; adding writes there.
    QFile::remove(ProgramFile);
    w.AddBookmark1->trigger();
    EXPECT_TRUE(Dialogs->Shown.empty()) << Dialogs->AllTexts().join("|").toStdString();
    EXPECT_FALSE(QFileInfo::exists(ProgramFile));
    QStringList stored;
    ASSERT_TRUE(ReadBookmarks(mine, stored));
    EXPECT_EQ(stored, (QStringList{PathOf("old") + "/", Folder() + "/"}));
    Window.reset();
    EXPECT_EQ(MenuEntries(Browse(Folder())), stored);
}

TEST_F(Places, ADeletedBookmarkedFolderShowsItsNearestParent)
{
    QDir(Folder()).mkpath("Holiday/2019");
    Picture("top.bmp", 20, 10);
    Picture("Holiday/h.bmp", 20, 10);
    SetBookmarkFilePath(PathOf("marks.dat"));
    WriteBookmarks(PathOf("marks.dat"), {PathOf("Holiday/2019") + "/", PathOf("Holiday/2019") + "/x.bmp"});
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    SetBookmarkFilePath(QString());
    ASSERT_TRUE(QDir(PathOf("Holiday")).removeRecursively());
    for (int item : {0, 1}) {
        w.TV1->SetDirectory(QDir::homePath());
        w.Bookmarks1->actions()[3 + item]->trigger();
        EXPECT_EQ(w.TV1->Directory(), Folder()) << item;
        EXPECT_EQ(Captions(w), QStringList{"top.bmp"}) << item;
    }
    w.close();
    EXPECT_EQ(ReadSetting(Key(), "LastFolder", "?"), Folder());
}

TEST_F(Places, TheShownFolderDeletedWhileShownLeadsToItsParentNotASibling)
{
    for (const char* folder : {"a_sibling", "shown", "z_sibling"})
        QDir(Folder()).mkpath(folder);
    Picture("parent.bmp", 20, 10);
    Picture("a_sibling/s.bmp", 20, 10);
    Picture("shown/x.bmp", 20, 10);
    TfrmTessaria& w = Browse(PathOf("shown"), "*.bmp;");
    ASSERT_EQ(Captions(w), QStringList{"x.bmp"});
    w.TV1->expand(w.TV1->currentIndex().parent());
    ASSERT_TRUE(QDir(PathOf("shown")).removeRecursively());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.TV1->Directory() == Folder(); }, 5000))
        << w.TV1->Directory().toStdString();
    EXPECT_EQ(Captions(w), QStringList{"parent.bmp"});
    EXPECT_EQ(w.sb1->PanelText(0), "1 files");
}

TEST_F(Places, ANameThatIsNoUtf8IsListedShownAndLoaded)
{
    const QByteArray latin1 = QByteArray(Files.Path().c_str()) + "/Caf\xe9.bmp";
    ASSERT_TRUE(PatternImage(300, 200, 4).save(PathOf("plain.bmp")));
    ASSERT_EQ(::rename(FileNameBytes(PathOf("plain.bmp")).constData(), latin1.constData()), 0);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    ASSERT_EQ(w.LV1->Model()->Count(), 1);
    const QString caption = w.LV1->Model()->Item(0).Texts.Caption;
    EXPECT_EQ(FileNameBytes(JoinPath(Folder(), caption)), latin1);
    // Shown as the Latin-1 name it was meant to be.
    EXPECT_EQ(w.LV1->Model()->index(0, 0).data().toString(), QString::fromLatin1("Caf\xe9.bmp"));
    EXPECT_EQ(w.LV1->Model()->Item(0).Texts.Type, "BMP");

    // Selected: the preview loads it; the viewer and the thumbnail view too.
    w.LV1->SelectRow(0);
    EXPECT_TRUE(Dialogs->Shown.empty()) << Dialogs->AllTexts().join("|").toStdString();
    EXPECT_EQ(w.PreviewPictureSize, QSize(300, 200));
    EXPECT_EQ(w.sb1->PanelText(1), "300 X 200");
    w.ViewImage1Click();
    EXPECT_EQ(frmView->Image1->PictureWidth(), 300);
    EXPECT_EQ(frmView->windowTitle(), QString::fromLatin1("View - Caf\xe9.bmp"));
    frmView->close();
    w.ViewSmallThumbnails1->trigger();
    EXPECT_GE(w.LV1->Model()->Item(0).ImageIndex, 0);
}

TEST_F(Places, OurThumbnailsFollowTheStandardAndOthersAreUsed)
{
    const QString python = SystemPython();
    if (python.isEmpty())
        GTEST_SKIP() << "needs python3 with Pillow and GLib's bindings";
    QDir(Folder()).mkpath("with space;and#hash");
    const QString sub = "with space;and#hash/";
    ASSERT_TRUE(PatternImage(300, 200, 1).save(PathOf(sub + "ours.jpg")));
    ASSERT_TRUE(PatternImage(300, 200, 2).save(PathOf(sub + "theirs.jpg")));
    const QString cache = Q(Config.Path()) + "/cache/thumbnails";

    // Another program's thumbnail of "theirs.jpg": plain red, made by GLib's rules.
    const QString write =
        "import sys, os, hashlib\n"
        "from gi.repository import GLib\n"
        "from PIL import Image\n"
        "from PIL.PngImagePlugin import PngInfo\n"
        "path, cache = sys.argv[1], sys.argv[2]\n"
        "uri = GLib.filename_to_uri(path, None)\n"
        "info = PngInfo(); info.add_text('Thumb::URI', uri)\n"
        "info.add_text('Thumb::MTime', str(int(os.stat(path).st_mtime)))\n"
        "os.makedirs(cache + '/normal', exist_ok=True)\n"
        "Image.new('RGBA', (128, 85), (255, 0, 0, 255)).save(cache + '/normal/' + hashlib.md5(uri.encode()).hexdigest() + '.png', pnginfo=info)\n";
    ASSERT_EQ(Python(python, write, {PathOf(sub + "theirs.jpg"), cache}), "");

    TfrmTessaria& w = Browse(PathOf("with space;and#hash"), "*.jpg;");
    w.ViewSmallThumbnails1->trigger();
    const int theirs = w.LV1->Model()->Item(RowOf(w, "theirs.jpg")).ImageIndex;
    ASSERT_GE(theirs, 0);
    const QImage tile = w.ImageList1->Image(theirs).toImage();
    EXPECT_EQ(tile.pixel(32, 63), qRgb(255, 0, 0)); // the other program's red, not the picture

    // Ours, read by GLib's rules: name, URI, MTime, size and the 128 fit.
    const QString check =
        "import sys, os, hashlib, stat\n"
        "from gi.repository import GLib\n"
        "from PIL import Image\n"
        "path, cache = sys.argv[1], sys.argv[2]\n"
        "uri = GLib.filename_to_uri(path, None)\n"
        "png = cache + '/normal/' + hashlib.md5(uri.encode()).hexdigest() + '.png'\n"
        "im = Image.open(png); st = os.stat(path)\n"
        "ok = [im.text.get('Thumb::URI') == uri, im.text.get('Thumb::MTime') == str(int(st.st_mtime)),\n"
        "      im.text.get('Thumb::Size') == str(st.st_size), im.size == (128, 85), im.mode == 'RGBA',\n"
        "      stat.S_IMODE(os.stat(png).st_mode) == 0o600]\n"
        "print(' '.join(str(x) for x in ok))\n";
    EXPECT_EQ(Python(python, check, {PathOf(sub + "ours.jpg"), cache}), "True True True True True True");
}
