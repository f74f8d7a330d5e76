#pragma once
// A main window with a folder of pictures to drop on its pages, as the
// layout tests use it.

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTest>

#include "app/appfixture.h"
#include "app/forms.h"
#include "browse/filelistview.h"
#include "controls/foldertree.h"
#include "layout/rectbox.h"
#include "layout/ulorvaneoptions.h"

namespace tessaria::test {

inline TBitmap Picture(int w, int h)
{
    TBitmap b;
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.ScanLine(y) + 3 * x;
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = 200;
        }
    return b;
}

// A mouse drag on a box as the user makes it: hover, press, moves, release.
inline void DragBox(TRectBox* box, QPoint from, QPoint to, int steps = 4)
{
    QTest::mouseMove(box, from);
    QTest::mousePress(box, Qt::LeftButton, Qt::NoModifier, from);
    const QPoint global = box->mapToGlobal(from);
    const QPoint globalTo = box->mapToGlobal(to);
    for (int i = 1; i <= steps; ++i) {
        const QPoint g = global + (globalTo - global) * i / steps;
        QMouseEvent move(QEvent::MouseMove, box->mapFromGlobal(QPointF(g)), QPointF(g), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(box, &move);
    }
    QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, box->mapFromGlobal(globalTo));
}

class Layout : public AppTest {
protected:
    TfrmTessaria& Start()
    {
        TfrmTessaria& w = ShowWindow();
        w.TV1->SetDirectory(QString::fromStdString(Folder.Path().string()));
        w.LayoutPPI = 40; // a 7.5 x 10 inch printable area
        return w;
    }
    // A file in the folder, listed and selected, shown in the preview.
    void SelectFile(TfrmTessaria& w, const QString& name, const TBitmap& picture)
    {
        WriteFile(Folder.File(name.toStdString()), std::string("picture"));
        TFileListModel* model = w.LV1->Model();
        int row = 0;
        while (row < model->Count() && model->Item(row).Texts.Caption != name)
            ++row;
        if (row == model->Count())
            model->Add({name, "1", "", ""});
        // The test sets the preview's picture itself; the file holds none.
        const QSignalBlocker quiet(w.LV1);
        w.LV1->SelectRow(row);
        w.PreviewPicture = picture;
        w.PreviewFile = w.SelectedFilePath();
    }
    // A drop as Qt delivers it to the widget under the pointer.
    static void Drop(QWidget* target, QPoint at, const QString& source = "list")
    {
        QMimeData data;
        data.setData("application/x-tessaria-source", source.toUtf8());
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
    TRectBox* LastBox(TfrmTessaria& w) { return w.Boxes().isEmpty() ? nullptr : w.Boxes().last(); }
    TfrmLorvaneOptions* Options() { return frmLorvaneOptions; }

    TempDir Folder;
};

} // namespace tessaria::test
