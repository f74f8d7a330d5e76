#include <QFrame>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QSplitter>
#include <QUrl>

#include "app/forms.h"
#include "browse/browsegeometry.h"
#include "browse/dragstarter.h"
#include "browse/uview.h"
#include "browse/window/browsefixture.h"
#include "controls/image.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "platform/errorbox.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class Preview : public BrowseTest {
protected:
    void SetUp() override
    {
        BrowseTest::SetUp();
        CreateStartupForms();
    }
    void TearDown() override
    {
        DestroyStartupForms();
        BrowseTest::TearDown();
    }
};

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

TEST_F(Preview, ShowsTheSelectedFileFittedIntoThePanel)
{
    Picture("wide.bmp", 640, 480);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    Select(w, "wide.bmp");
    EXPECT_EQ(w.sb1->PanelText(0), "wide.bmp");
    EXPECT_EQ(w.sb1->PanelText(1), "640 X 480");
    EXPECT_EQ(w.PreviewFile, PathOf("wide.bmp"));
    EXPECT_EQ(w.PreviewPicture.Width(), 640);
    EXPECT_EQ(w.PreviewPicture.Height(), 480);
    EXPECT_EQ(w.PreImage->PictureWidth(), 640);
    EXPECT_EQ(w.PreImage->geometry(), PreviewPlacement(w.PnlLeftBottom->size(), {640, 480}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The panel's resize fits the picture again.
    const QList<int> sizes = w.LeftSplitter->sizes();
    w.LeftSplitter->setSizes({sizes[0], sizes[1] - 60, sizes[2] + 60});
    QApplication::processEvents();
    ASSERT_NE(w.PnlLeftBottom->height(), 110);
    EXPECT_EQ(w.PreImage->geometry(), PreviewPlacement(w.PnlLeftBottom->size(), {640, 480}));
}

TEST_F(Preview, TheSamePathIsNotLoadedAgainEvenWhenTheFileChanged)
{
    Picture("a.bmp", 640, 480);
    Picture("b.bmp", 30, 20);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    Select(w, "a.bmp");
    Picture("a.bmp", 100, 100, 3);
    w.LV1Click();
    EXPECT_EQ(w.sb1->PanelText(1), "640 X 480");
    EXPECT_EQ(w.PreviewPicture.Width(), 640);
    // Another file does load, and then the changed one too.
    Select(w, "b.bmp");
    EXPECT_EQ(w.sb1->PanelText(1), "30 X 20");
    Select(w, "a.bmp");
    EXPECT_EQ(w.sb1->PanelText(1), "100 X 100");
}

TEST_F(Preview, AFailedLoadKeepsThePreviousPicture)
{
    Picture("good.bmp", 640, 480);
    Write("damaged.bmp", "BM not really");
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    Select(w, "good.bmp");
    const QRect shown = w.PreImage->geometry();
    Select(w, "damaged.bmp");
    ASSERT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error).size(), 1);
    EXPECT_EQ(w.sb1->PanelText(0), "damaged.bmp");
    EXPECT_EQ(w.sb1->PanelText(1), "640 X 480");
    EXPECT_EQ(w.PreImage->PictureWidth(), 640);
    EXPECT_EQ(w.PreImage->geometry(), shown);
    EXPECT_EQ(w.PreviewPicture.Width(), 640);
    EXPECT_EQ(w.PreviewFile, PathOf("good.bmp"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Selecting it again tries again.
    RunCommand([&] { w.LV1Click(); });
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error).size(), 2);
}

TEST_F(Preview, DraggingFromTheListOrThePreviewCarriesTheFile)
{
    Picture("a.bmp", 64, 48);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    const TFileListModel& model = *w.LV1->Model();
    std::unique_ptr<QMimeData> fromList(model.mimeData({model.index(0, 0)}));
    ASSERT_TRUE(fromList);
    EXPECT_EQ(fromList->urls(), QList<QUrl>{QUrl::fromLocalFile(PathOf("a.bmp"))});
    EXPECT_EQ(fromList->data(SourceMimeType), "list");
    EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsDragEnabled);
    EXPECT_TRUE(w.LV1->Details()->dragEnabled());
    EXPECT_TRUE(w.LV1->Icons()->dragEnabled());

    std::vector<std::pair<QString, QList<QUrl>>> drags;
    w.PreviewDrag->SetRunDrag([&](QMimeData* data) {
        drags.push_back({QString::fromUtf8(data->data(SourceMimeType)), data->urls()});
        delete data;
    });
    // An empty preview does not start a drag.
    SendMouse(w.PreImage, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    SendMouse(w.PreImage, QEvent::MouseMove, {20, 20}, Qt::LeftButton);
    EXPECT_TRUE(drags.empty());

    Select(w, "a.bmp");
    struct TMove {
        QPoint To;
        bool Starts;
    } moves[] = {{{11, 10}, false}, {{9, 11}, false}, {{12, 10}, true}, {{10, 8}, true}, {{11, 11}, false}};
    for (const TMove& m : moves) {
        drags.clear();
        SendMouse(w.PreImage, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
        SendMouse(w.PreImage, QEvent::MouseMove, m.To, Qt::LeftButton);
        EXPECT_EQ(drags.size(), m.Starts ? 1u : 0u) << m.To.x() << "," << m.To.y();
        if (!drags.empty()) {
            EXPECT_EQ(drags[0].first, "preview");
            EXPECT_EQ(drags[0].second, QList<QUrl>{QUrl::fromLocalFile(PathOf("a.bmp"))});
        }
        SendMouse(w.PreImage, QEvent::MouseButtonRelease, m.To, Qt::NoButton);
    }
    // Released first: the next move is no drag.
    drags.clear();
    SendMouse(w.PreImage, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    SendMouse(w.PreImage, QEvent::MouseButtonRelease, {10, 10}, Qt::NoButton);
    SendMouse(w.PreImage, QEvent::MouseMove, {30, 30}, Qt::NoButton);
    EXPECT_TRUE(drags.empty());
}

TEST_F(Preview, TheViewerFitsItsOuterSizeIntoTheBox)
{
    Picture("wide.bmp", 1000, 500);
    Picture("tall.bmp", 300, 600);
    Picture("small.bmp", 40, 20);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    ASSERT_EQ(ViewerForm(), frmView);
    EXPECT_EQ(w.ViewerWidth, 480);
    EXPECT_EQ(w.ViewerHeight, 480);
    EXPECT_FALSE(frmView->isVisible());
    EXPECT_EQ(frmView->windowTitle(), "View");
    EXPECT_TRUE(frmView->windowFlags() & Qt::WindowStaysOnTopHint);

    struct TCase {
        const char* File;
        QSize Outer;
    } cases[] = {{"wide.bmp", {480, 240}}, {"tall.bmp", {240, 480}}, {"small.bmp", {480, 240}}};
    for (const TCase& c : cases) {
        w.ShowInViewer(PathOf(c.File));
        EXPECT_TRUE(frmView->isVisible()) << c.File;
        EXPECT_EQ(frmView->OuterSize(), c.Outer) << c.File;
        EXPECT_EQ(frmView->frameGeometry().size(), c.Outer) << c.File;
        EXPECT_EQ(frmView->Image1->geometry(), frmView->rect()) << c.File;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    // A missing file does nothing.
    w.ShowInViewer(PathOf("missing.bmp"));
    EXPECT_EQ(frmView->OuterSize(), QSize(480, 240));
    EXPECT_TRUE(Dialogs->Shown.empty());
}

TEST_F(Preview, TheViewerKeepsItsPlaceFollowsThePreviewAndReleasesOnClose)
{
    Picture("wide.bmp", 1000, 500);
    Picture("tall.bmp", 300, 600);
    Write("damaged.bmp", "BM nothing");
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");

    // No item selected: "View Image" and double clicks do nothing.
    w.ViewImage1->trigger();
    QTest::mouseDClick(w.LV1->Details()->viewport(), Qt::LeftButton, {}, {50, 150});
    QTest::mouseDClick(w.PnlLeftBottom, Qt::LeftButton, {}, {2, 2});
    EXPECT_FALSE(frmView->isVisible());

    Select(w, "wide.bmp");
    w.ViewImage1->trigger();
    ASSERT_TRUE(frmView->isVisible());
    EXPECT_EQ(frmView->OuterSize(), QSize(480, 240));
    frmView->move(100, 120);
    const QPoint place = frmView->pos();

    // While it shows, the preview drives it; it keeps its place.
    Select(w, "tall.bmp");
    EXPECT_EQ(frmView->OuterSize(), QSize(240, 480));
    EXPECT_EQ(frmView->pos(), place);
    EXPECT_EQ(frmView->Image1->PictureWidth(), 300);

    // A damaged file leaves the viewer as it was.
    RunCommand([&] { w.ShowInViewer(PathOf("damaged.bmp")); });
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error).size(), 1);
    EXPECT_EQ(frmView->OuterSize(), QSize(240, 480));
    EXPECT_EQ(frmView->Image1->PictureWidth(), 300);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    frmView->close();
    EXPECT_FALSE(frmView->isVisible());
    EXPECT_TRUE(frmView->Image1->Picture().isNull());
    ASSERT_EQ(ViewerForm(), frmView); // hidden, not destroyed

    // Double clicks on the list, the preview panel and the picture show it again.
    QTest::mouseDClick(w.PreImage, Qt::LeftButton, {}, {3, 3});
    EXPECT_TRUE(frmView->isVisible());
    frmView->close();
    QTest::mouseDClick(w.PnlLeftBottom, Qt::LeftButton, {}, {1, 1});
    EXPECT_TRUE(frmView->isVisible());
    frmView->close();
    const QRect item = w.LV1->Details()->visualRect(w.LV1->Model()->index(RowOf(w, "wide.bmp"), 0));
    QTest::mouseDClick(w.LV1->Details()->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_TRUE(frmView->isVisible());
    EXPECT_EQ(frmView->Image1->PictureWidth(), 1000);
}

TEST_F(Preview, AResizeByTheUserChangesTheBoxOnlyInTheSideThatChanged)
{
    Picture("wide.bmp", 1000, 500);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    w.ShowInViewer(PathOf("wide.bmp"));
    frmView->FormMouseDown();
    frmView->SetOuterSize({400, 240});
    frmView->FormMouseUp();
    EXPECT_EQ(w.ViewerWidth, 400);
    EXPECT_EQ(w.ViewerHeight, 480);
}

TEST_F(Preview, APageTakesTheFileDraggedFromTheListOrThePreview)
{
    Picture("a.bmp", 300, 150);
    TfrmTessaria& w = Browse(Folder(), "*.bmp;");
    w.LayoutPPI = 40;
    Select(w, "a.bmp");
    ASSERT_TRUE(w.CurrentPage);
    const TFileListModel& model = *w.LV1->Model();
    std::unique_ptr<QMimeData> fromList(model.mimeData({model.index(0, 0)}));
    std::unique_ptr<QMimeData> fromPreview(w.PreviewDragData());
    int boxes = 0;
    for (QMimeData* data : {fromList.get(), fromPreview.get()}) {
        const QPoint at(20 + 30 * boxes, 20);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.CurrentPage, &enter);
        ASSERT_TRUE(enter.isAccepted()) << data->data(SourceMimeType).toStdString();
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.CurrentPage, &drop);
        ASSERT_EQ(w.Boxes().size(), ++boxes) << data->data(SourceMimeType).toStdString();
        EXPECT_EQ(w.Boxes().last()->FileName(), PathOf("a.bmp"));
    }
}
