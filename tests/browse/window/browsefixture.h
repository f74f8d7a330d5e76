#pragma once
// A main window on an empty settings store, with folders of real files.

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include "app/appfixture.h"
#include "browse/browsetestfiles.h"
#include "browse/filelistmodel.h"
#include "browse/filelistview.h"
#include "browse/imagelist.h"
#include "browse/thumbnailmaker.h"
#include "controls/foldertree.h"
#include "controls/statusbar.h"
#include "platform/application.h"

namespace tessaria::test {

class BrowseTest : public AppTest {
protected:
    void TearDown() override
    {
        SetProcessMessagesHook(nullptr);
        SetThumbnailWorkers(-1);
        AppTest::TearDown();
    }

    static QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }
    QString Folder() const { return Q(Files.Path()); }
    QString PathOf(const QString& name) const { return Folder() + "/" + name; }

    void Write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void Picture(const QString& name, int width, int height, int seed = 0) const
    {
        ASSERT_TRUE(WritePattern(PathOf(name), width, height, seed)) << name.toStdString();
    }
    void Touch(const QString& name, const QDateTime& time) const
    {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }

    // Shows the window and selects the folder in the tree.
    TfrmTessaria& Browse(const QString& folder, const QString& mask = QString())
    {
        TfrmTessaria& w = ShowWindow();
        if (!mask.isNull())
            w.FileMask = mask;
        w.TV1->SetDirectory(folder);
        EXPECT_EQ(w.TV1->Directory(), folder);
        return w;
    }

    static QStringList Captions(const TfrmTessaria& w)
    {
        QStringList captions;
        const TFileListModel& model = *w.LV1->Model();
        for (int row = 0; row < model.Count(); ++row)
            captions << model.Item(row).Texts.Caption;
        return captions;
    }
    static int RowOf(const TfrmTessaria& w, const QString& caption) { return int(Captions(w).indexOf(caption)); }
    static void Select(TfrmTessaria& w, const QString& caption) { w.LV1->SelectRow(RowOf(w, caption)); }

    static void ClickHeader(TfrmTessaria& w, int column)
    {
        QHeaderView* header = w.LV1->Details()->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    TempDir Files;
};

} // namespace tessaria::test
