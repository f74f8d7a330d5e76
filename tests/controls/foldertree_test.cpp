#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <sys/stat.h>

#include "controls/foldermodel.h"
#include "controls/foldertree.h"
#include "platform/filenames.h"
#include "support/testfiles.h"

using namespace tessaria;

TEST(FolderTree, DirectorySelectsExpandsAndFiresChange)
{
    test::TempDir dir;
    QDir(QString::fromStdString(dir.Path().string())).mkpath("a/b/c");
    const QString target = QString::fromStdString((dir.Path() / "a/b/c").string());

    TFolderTree tree;
    tree.resize(200, 300);
    tree.show();
    QSignalSpy changes(&tree, &TFolderTree::Change);
    EXPECT_EQ(tree.Directory(), QString());

    tree.SetDirectory(target + "/"); // a trailing separator names the same folder
    EXPECT_EQ(tree.Directory(), target);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree.isExpanded(tree.currentIndex().parent()); }, 3000));

    tree.SetDirectory(target); // the same folder again is no change
    EXPECT_EQ(changes.count(), 1);

    // A folder that does not exist takes its nearest existing parent; here
    // that is the folder shown already, so nothing changes.
    tree.SetDirectory(target + "/missing/deeper");
    EXPECT_EQ(tree.Directory(), target);
    EXPECT_EQ(changes.count(), 1);
    tree.SetDirectory(QString()); // never an empty selection
    EXPECT_EQ(tree.Directory(), target);
}

TEST(FolderTree, FollowsFoldersMadeOnDisk)
{
    test::TempDir dir;
    const QString root = QString::fromStdString(dir.Path().string());
    TFolderTree tree;
    tree.show();
    tree.SetDirectory(root);
    QDir(root).mkdir("new");
    tree.expand(tree.currentIndex());
    const QModelIndex rootIndex = tree.currentIndex();
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree.model()->rowCount(rootIndex) == 1; }, 5000));
    tree.SetDirectory(root + "/new");
    EXPECT_EQ(tree.Directory(), root + "/new");
}

TEST(FolderTree, SelectedFolderIsScrolledIntoView)
{
    // Deep in a folder with many siblings, as the program's own folder may be.
    test::TempDir dir;
    const QString root = QString::fromStdString(dir.Path().string());
    for (int i = 0; i < 60; ++i)
        QDir(root).mkpath(QString("sibling%1/x").arg(i, 2, 10, QChar('0')));
    QDir(root).mkpath("zz/deeper/target");
    TFolderTree tree;
    tree.resize(180, 140);
    tree.show();
    tree.SetDirectory(root + "/zz/deeper/target");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return tree.viewport()->rect().contains(tree.visualRect(tree.currentIndex()).center()); }, 5000));
    EXPECT_EQ(tree.Directory(), root + "/zz/deeper/target");
}

namespace {

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

QStringList TopLabels(const TFolderTree& tree)
{
    QStringList labels;
    for (int row = 0; row < tree.model()->rowCount(); ++row)
        labels << tree.model()->index(row, 0).data().toString();
    return labels;
}

// Sets an environment variable for the life of the object.
class TEnv {
public:
    TEnv(const char* name, const QByteArray& value) : Name_(name), Old_(qgetenv(name)), Had_(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~TEnv()
    {
        if (Had_)
            qputenv(Name_, Old_);
        else
            qunsetenv(Name_);
    }

private:
    const char* Name_;
    QByteArray Old_;
    bool Had_;
};

} // namespace

TEST(FolderTree, OffersHomePicturesTheFileSystemAndVolumes)
{
    test::TempDir home;
    QDir(Q(home.Path())).mkpath("Pictures/2024");
    TEnv homeVariable("HOME", QByteArray(home.Path().c_str()));
    TEnv config("XDG_CONFIG_HOME", QByteArray((home.Path() / ".config").c_str()));
    TFolderTree tree;
    const QStringList labels = TopLabels(tree);
    ASSERT_GE(labels.size(), 3);
    EXPECT_EQ(labels.mid(0, 3), (QStringList{"Home", "Pictures", "File System"}));
    EXPECT_EQ(tree.Model()->FilePath(tree.model()->index(0, 0)), Q(home.Path()));
    EXPECT_EQ(tree.Model()->FilePath(tree.model()->index(1, 0)), Q(home.Path() / "Pictures"));
    EXPECT_EQ(tree.Model()->FilePath(tree.model()->index(2, 0)), "/");

    // A folder in Pictures is found under Pictures, one elsewhere under its own place.
    tree.SetDirectory(Q(home.Path() / "Pictures/2024"));
    EXPECT_EQ(tree.currentIndex().parent().data().toString(), "Pictures");
    tree.SetDirectory("/usr");
    EXPECT_EQ(tree.currentIndex().parent().data().toString(), "File System");
    EXPECT_EQ(tree.Directory(), "/usr");
}

TEST(FolderTree, ADeletedFolderLeadsToItsNearestParentNotASibling)
{
    test::TempDir dir;
    const QString root = Q(dir.Path());
    for (const char* folder : {"a/b/c", "a/b2", "a/a1", "a/z"})
        QDir(root).mkpath(folder);
    TFolderTree tree({{"Test", root, QIcon()}});
    tree.resize(200, 300);
    tree.show();
    QSignalSpy changes(&tree, &TFolderTree::Change);
    tree.SetDirectory(root + "/a/b/c");
    tree.expand(tree.currentIndex().parent().parent());
    ASSERT_EQ(changes.count(), 1);

    ASSERT_TRUE(QDir(root + "/a/b").removeRecursively());
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree.Directory() == root + "/a"; }, 5000)) << tree.Directory().toStdString();
    EXPECT_EQ(changes.count(), 2);
    // The tree no longer lists it; its siblings stay.
    const QModelIndex a = tree.currentIndex();
    QStringList children;
    for (int row = 0; row < tree.model()->rowCount(a); ++row)
        children << tree.model()->index(row, 0, a).data().toString();
    EXPECT_EQ(children, (QStringList{"a1", "b2", "z"}));
}

TEST(FolderTree, FilesChangingInTheShownFolderAreNoticed)
{
    test::TempDir dir;
    const QString root = Q(dir.Path());
    QDir(root).mkpath("shown");
    QDir(root).mkpath("other");
    TFolderTree tree({{"Test", root, QIcon()}});
    tree.show();
    tree.SetDirectory(root + "/shown");
    QSignalSpy contents(&tree, &TFolderTree::ContentsChanged);
    test::WriteFile((dir.Path() / "other/x.jpg").string(), std::string("x"));
    test::WriteFile((dir.Path() / "shown/new.jpg").string(), std::string("x"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return contents.count() >= 1; }, 5000));
    EXPECT_EQ(tree.Directory(), root + "/shown");
}

TEST(FolderTree, FolderNamesThatAreNoUtf8AreListedAndSelected)
{
    test::TempDir dir;
    const QString root = Q(dir.Path());
    const QByteArray latin1 = QByteArray(dir.Path().c_str()) + "/Caf\xe9";
    ASSERT_EQ(::mkdir(latin1.constData(), 0700), 0);
    TFolderTree tree({{"Test", root, QIcon()}});
    const QString name = FileNameText("Caf\xe9");
    tree.SetDirectory(root + "/" + name);
    EXPECT_EQ(tree.Directory(), root + "/" + name);
    EXPECT_EQ(FileNameBytes(tree.Directory()), latin1);
    EXPECT_EQ(tree.currentIndex().data().toString(), QString::fromLatin1("Caf\xe9"));
}
