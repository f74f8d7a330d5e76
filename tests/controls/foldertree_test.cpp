#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include "controls/foldertree.h"
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

    tree.SetDirectory(target + "/missing");
    EXPECT_EQ(tree.Directory(), QString());
    EXPECT_EQ(changes.count(), 2);
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
