// Arranging in the window: the dialog on the list's selected files and on the
// page's pictures, pages added as needed, one step of undo that restores the
// page, several files dropped together, and the check before printing with
// its dialog.
#include "printfixture.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QUndoStack>
#include <QUrl>

#include "browse/filelistview.h"
#include "controls/foldertree.h"
#include "layout/rectbox.h"
#include "layout/uarrange.h"
#include "layout/ulorvaneoptions.h"
#include "platform/scripteddialogs.h"
#include <QLineEdit>
#include "print/uprintcheck.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class Arranging : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        ShowWindow();
    }
    // n pictures of 60 x 40 (every third one upright) in a folder of their own.
    QStringList WritePictures(int n, const std::string& folder = "pictures")
    {
        std::filesystem::create_directories(Config.File(folder));
        QStringList files;
        for (int i = 0; i < n; ++i) {
            const std::string name = folder + "/p" + std::to_string(100 + i) + ".bmp";
            files << (i % 3 == 2 ? WritePicture(name, 40, 60) : WritePicture(name, 60, 40));
        }
        return files;
    }
    QList<TRectBox*> Pictures(const TCanvasPanel* page) const
    {
        QList<TRectBox*> result;
        for (TRectBox* box : Window->PageBoxes(page))
            if (!box->TextBox())
                result << box;
        return result;
    }
    // Arranges as the dialog's OK does: one step.
    QList<TfrmTessaria::TFileFailure> Arrange(const QStringList& files, TGridSize grid,
                                              TAutoCaption captions = TAutoCaption::None)
    {
        QList<TfrmTessaria::TFileFailure> failures;
        TArrangeSettings s;
        s.Grid = grid;
        s.Captions = captions;
        Window->LayoutStep("Arrange", [&] { failures = Window->ArrangeFiles(files, s); });
        return failures;
    }
    // Every box's page and bounds, in creation order.
    std::vector<std::pair<const TCanvasPanel*, QRect>> Places() const
    {
        std::vector<std::pair<const TCanvasPanel*, QRect>> places;
        for (const TRectBox* box : Window->Boxes())
            places.emplace_back(qobject_cast<const TCanvasPanel*>(box->parentWidget()), box->Bounds());
        return places;
    }
};

TEST_F(Arranging, TheListsSelectedFilesThroughTheDialogOnANewPageAsOneStep)
{
    TfrmTessaria& w = *Window;
    // Something on the first page already: the grid starts on a page of its own after it.
    ASSERT_TRUE(Arrange(WritePictures(1, "before"), {1, 1}).isEmpty());
    const auto before = Places();
    const int steps = w.History->Stack()->count();

    const QStringList files = WritePictures(7);
    w.TV1->SetDirectory(QString::fromStdString(Config.File("pictures")));
    ASSERT_EQ(w.LV1->Model()->Count(), 7);
    w.LV1->Selection()->select(QItemSelection(w.LV1->Model()->index(0, 0), w.LV1->Model()->index(6, 0)),
                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(w.SelectedFilePaths(), files);

    Dialogs->OnModal = [](QDialog& dialog) {
        auto& arrange = dynamic_cast<TfrmArrange&>(dialog);
        EXPECT_TRUE(arrange.rbSelectedFiles->isChecked());
        EXPECT_EQ(arrange.rbSelectedFiles->text(), "The 7 files selected in the list");
        EXPECT_EQ(arrange.rbPagePictures->text(), "The picture of this page");
        // The preset of 6 on an upright page is 2 x 3.
        arrange.cbPerPage->setCurrentIndex(arrange.cbPerPage->findText("6"));
        emit arrange.cbPerPage->activated(arrange.cbPerPage->currentIndex());
        EXPECT_EQ(arrange.seColumns->value(), 2);
        EXPECT_EQ(arrange.seRows->value(), 3);
        arrange.rgCaptionsButtons->button(1)->click();
        return int(QDialog::Accepted);
    };
    w.Arrange1->trigger();
    ASSERT_EQ(w.Pages.size(), 3);
    EXPECT_EQ(w.CurrentPage, w.Pages[1]) << "the arrangement's first page is shown";
    EXPECT_EQ(Pictures(w.Pages[1]).size(), 6);
    EXPECT_EQ(Pictures(w.Pages[2]).size(), 1);
    EXPECT_EQ(w.History->Stack()->count(), steps + 1);
    EXPECT_FALSE(w.DocumentSaved);
    // Captions by name, linked, under their pictures.
    for (TRectBox* picture : Pictures(w.Pages[1])) {
        ASSERT_NE(picture->LinkChild(), nullptr);
        EXPECT_EQ(picture->LinkChild()->Lines(), QStringList({QFileInfo(picture->FileName()).fileName()}));
        EXPECT_EQ(picture->LinkChild()->Bounds().top(), picture->Bounds().bottom() + 1);
        EXPECT_EQ(picture->LinkChild()->width(), picture->width());
        EXPECT_EQ(picture->LinkChild()->Tag(), picture->Tag());
    }
    // The choices are there the next time.
    EXPECT_EQ(w.StoredArrangeSettings().Grid, (TGridSize{2, 3}));
    EXPECT_EQ(w.StoredArrangeSettings().Captions, TAutoCaption::Filename);

    w.Undo1->trigger();
    EXPECT_EQ(w.Pages.size(), 1);
    EXPECT_EQ(Places(), before);
    w.Redo1->trigger();
    EXPECT_EQ(w.Pages.size(), 3);
    EXPECT_EQ(Pictures(w.Pages[1]).size() + Pictures(w.Pages[2]).size(), 7u);

    // Cancelled: nothing changes.
    Dialogs->OnModal = [](QDialog&) { return int(QDialog::Rejected); };
    w.Arrange1->trigger();
    EXPECT_EQ(w.Pages.size(), 3);
    EXPECT_EQ(w.History->Stack()->count(), steps + 1);
}

TEST_F(Arranging, ThePagesPicturesAndTheirCaptionsInAGridAndUndoPutsThemBack)
{
    TfrmTessaria& w = *Window;
    const QStringList files = WritePictures(5);
    // Five pictures scattered as a user dropped them, two with captions.
    ASSERT_TRUE(Arrange(files, {3, 2}, TAutoCaption::None).isEmpty());
    QList<TRectBox*> pictures = Pictures(w.CurrentPage);
    ASSERT_EQ(pictures.size(), 5);
    for (int i = 0; i < 5; ++i)
        pictures[i]->SetBounds(QRect(7 * i, 11 * i, 50 + i, 30));
    for (TRectBox* captioned : {pictures[1], pictures[3]}) {
        captioned->UnfocusAll();
        captioned->SetFocus(true);
        w.tbAddTextClick();
    }
    w.History->Stack()->clear();
    const auto before = Places();

    TArrangeSettings s;
    s.Grid = {2, 2};
    w.LayoutStep("Arrange", [&] { EXPECT_TRUE(w.ArrangePageBoxes(s)); });
    ASSERT_EQ(w.Pages.size(), 2);
    EXPECT_EQ(Pictures(w.Pages[0]).size(), 4);
    ASSERT_EQ(Pictures(w.Pages[1]).size(), 1);
    EXPECT_EQ(Pictures(w.Pages[1])[0], pictures[4]);
    // The kept captions go with their pictures, under them.
    for (TRectBox* picture : {pictures[1], pictures[3]}) {
        TRectBox* caption = picture->LinkChild();
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->parentWidget(), picture->parentWidget());
        EXPECT_EQ(caption->Bounds().topLeft(), picture->Bounds().bottomLeft() + QPoint(0, 1));
        EXPECT_EQ(caption->Lines(), QStringList({"TextBox"}));
    }
    // Each picture and its caption inside the picture's cell.
    TGridLayout layout;
    layout.Page = w.Pages[0]->size();
    layout.Grid = {2, 2};
    layout.Gap = MillimetresToPagePixels(DefaultArrangeGapMillimetres, w.LayoutPPI);
    for (int i = 0; i < 4; ++i) {
        const QRect cell = GridCell(layout, i);
        EXPECT_TRUE(cell.contains(pictures[i]->Bounds())) << i;
        if (pictures[i]->LinkChild()) {
            EXPECT_TRUE(cell.contains(pictures[i]->LinkChild()->Bounds())) << i;
        }
    }

    w.Undo1->trigger();
    EXPECT_EQ(w.Pages.size(), 1);
    EXPECT_EQ(Places(), before);
    for (TRectBox* box : w.Boxes())
        EXPECT_TRUE(box->isVisible());
    w.Redo1->trigger();
    EXPECT_EQ(Pictures(w.Pages[1]).size(), 1);
}

TEST_F(Arranging, FortyFilesThreeByFourMakeFourPagesTheLastPartlyFilled)
{
    TfrmTessaria& w = *Window;
    const QStringList files = WritePictures(40);
    ASSERT_TRUE(Arrange(files, {3, 4}).isEmpty());
    ASSERT_EQ(w.Pages.size(), 4);
    const int counts[] = {12, 12, 12, 4};
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(Pictures(w.Pages[p]).size(), counts[p]) << p;
    // In the files' order, row by row.
    EXPECT_EQ(Pictures(w.Pages[3])[0]->FileName(), files[36]);
    EXPECT_LT(Pictures(w.Pages[0])[1]->x(), Pictures(w.Pages[0])[2]->x());
    EXPECT_LT(Pictures(w.Pages[0])[2]->y(), Pictures(w.Pages[0])[3]->y());
    // An arranged box is as a dropped one: its picture, sizes and proportion.
    const TRectBox* box = Pictures(w.Pages[0])[2];
    EXPECT_EQ(box->PictureWidth(), 40);
    EXPECT_EQ(box->PictureHeight(), 60);
    EXPECT_NEAR(double(box->Ratio()), 1.5, 1e-9);
    EXPECT_NEAR(double(box->height()) / box->width(), 1.5, 0.05);
    EXPECT_TRUE(box->HasPicture());
    EXPECT_EQ(box->CanvasPPI(), w.LayoutPPI);

    // A file that cannot be read is left out and named.
    const QString bad = QString::fromStdString(Config.File("bad.bmp"));
    WriteFile(bad.toStdString(), std::string("BM not a bitmap"));
    const QList<TfrmTessaria::TFileFailure> failures = Arrange({files[0], bad}, {2, 2});
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0].FileName, bad);
    EXPECT_FALSE(failures[0].Message.isEmpty());
    EXPECT_EQ(w.Pages.size(), 5);
    EXPECT_EQ(Pictures(w.Pages[1]).size(), 1) << "after the page it was shown on: page 1";
}

TEST_F(Arranging, SeveralDroppedFilesArePlacedOneAfterAnotherAsOneStep)
{
    TfrmTessaria& w = *Window;
    const QStringList files = WritePictures(3);
    w.Options()->txtHeight->setText("1.0"); // small enough for one row
    const int steps = w.History->Stack()->count();
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(20, 30), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.CurrentPage, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 30), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.CurrentPage, &drop);

    const QList<TRectBox*> boxes = Pictures(w.CurrentPage);
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(boxes[0]->Bounds().topLeft(), QPoint(20, 30));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(boxes[i]->FileName(), files[i]);
    // Side by side, or on the next row when the page is too narrow.
    for (int i = 1; i < 3; ++i)
        EXPECT_TRUE(boxes[i]->x() > boxes[i - 1]->Bounds().right() || boxes[i]->y() > boxes[i - 1]->Bounds().bottom())
            << i;
    EXPECT_EQ(w.History->Stack()->count(), steps + 1);
    w.Undo1->trigger();
    EXPECT_TRUE(w.Boxes().isEmpty());

    // The list gives every selected file to a drag.
    std::unique_ptr<QMimeData> dragged(w.LV1->Model()->mimeData({}));
    EXPECT_EQ(dragged, nullptr);
    w.TV1->SetDirectory(QString::fromStdString(Config.File("pictures")));
    std::unique_ptr<QMimeData> three(
        w.LV1->Model()->mimeData({w.LV1->Model()->index(2, 0), w.LV1->Model()->index(0, 0), w.LV1->Model()->index(1, 1)}));
    ASSERT_NE(three, nullptr);
    ASSERT_EQ(three->urls().size(), 3);
    EXPECT_EQ(three->urls()[0].toLocalFile(), files[0]);
    EXPECT_EQ(three->urls()[2].toLocalFile(), files[2]);
}

// A photo stored 120 x 80 whose camera was on its side (orientation 6):
// arranged upright, turned as a box turned by hand, as a drop places it; with
// the option off, as stored.
TEST_F(Arranging, AnOrientationSixPhotoIsArrangedUpright)
{
    if (RunCommand("/usr/bin/python3 -c 'import PIL' 2>/dev/null") != 0)
        GTEST_SKIP() << "Pillow not installed";
    const std::string path = Config.File("side.jpg");
    WriteFile(Config.File("write.py"), "from PIL import Image\n"
                                       "im = Image.new('RGB', (120, 80), (0, 0, 255))\n"
                                       "im.paste((255, 0, 0), (0, 0, 60, 40))\n"
                                       "ex = Image.Exif()\n"
                                       "ex[0x0112] = 6\n"
                                       "im.save('" + path + "', exif=ex.tobytes(), quality=95, subsampling=0)\n");
    ASSERT_EQ(RunCommand("/usr/bin/python3 " + Config.File("write.py")), 0);
    TfrmTessaria& w = *Window;
    const QString photo = QString::fromStdString(path);

    ASSERT_TRUE(w.Options()->cbTurnByOrientation->isChecked());
    ASSERT_TRUE(Arrange({photo}, {1, 1}).isEmpty());
    const TRectBox* box = Pictures(w.CurrentPage).value(0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Rotation(), 90);
    EXPECT_EQ(box->PictureWidth(), 120);
    EXPECT_EQ(box->PictureHeight(), 80);
    EXPECT_NEAR(double(box->Ratio()), 1.5, 1e-9);
    EXPECT_NEAR(double(box->height()) / box->width(), 1.5, 0.02);
    // The stored top-left corner is the upright picture's top-right one.
    const QImage shown = box->PictureImage();
    ASSERT_EQ(shown.height() > shown.width(), true);
    EXPECT_TRUE(Reddish(shown.pixel(shown.width() * 3 / 4, shown.height() / 4)));
    EXPECT_TRUE(Bluish(shown.pixel(shown.width() / 4, shown.height() / 4)));

    w.Options()->cbTurnByOrientation->setChecked(false);
    ASSERT_TRUE(Arrange({photo}, {1, 1}).isEmpty());
    const TRectBox* stored = Pictures(w.CurrentPage).value(0);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Rotation(), 0);
    EXPECT_NEAR(double(stored->height()) / stored->width(), 80.0 / 120, 0.02);
}

// The grid is laid out in page pixels: at zoom 2 the boxes have the bounds
// they have at zoom 1, shown twice as large, and several dropped files land
// at the page point they were dropped on.
TEST_F(Arranging, TheGridAndADropAreInPagePixelsAtAnyZoom)
{
    TfrmTessaria& w = *Window;
    const QStringList files = WritePictures(5);
    auto arranged = [&](double zoom) {
        w.New1Click();
        w.SetZoom(zoom);
        EXPECT_TRUE(Arrange(files, {2, 2}, TAutoCaption::Filename).isEmpty());
        std::vector<std::pair<int, QRect>> places;
        for (const TRectBox* box : w.Boxes()) {
            const auto* page = qobject_cast<const TCanvasPanel*>(box->parentWidget());
            places.emplace_back(int(w.Pages.indexOf(const_cast<TCanvasPanel*>(page))), box->Bounds());
            EXPECT_TRUE(QRect(QPoint(), page->PageSize()).contains(box->Bounds())) << zoom;
            EXPECT_NEAR(box->geometry().width(), box->Width() * zoom, 1.0) << zoom;
            EXPECT_NEAR(box->geometry().left(), box->Left() * zoom, 1.0) << zoom;
        }
        return places;
    };
    const auto atOne = arranged(1);
    ASSERT_EQ(atOne.size(), 10u); // five pictures and their captions, on two pages
    EXPECT_EQ(arranged(2), atOne);
    EXPECT_EQ(arranged(0.5), atOne);

    w.New1Click();
    w.SetZoom(2);
    w.PlaceFiles(files.mid(0, 2), QPoint(30, 40));
    const QList<TRectBox*> dropped = Pictures(w.CurrentPage);
    ASSERT_EQ(dropped.size(), 2);
    EXPECT_EQ(dropped[0]->Bounds().topLeft(), QPoint(30, 40));
    EXPECT_EQ(dropped[0]->geometry().topLeft(), QPoint(60, 80));
    // Two do not fit side by side: the second starts the next row at the drop point's left.
    EXPECT_EQ(dropped[1]->Left(), 30);
    EXPECT_GT(dropped[1]->Top(), dropped[0]->Top() + dropped[0]->Height());
    EXPECT_EQ(dropped[1]->geometry().top(), dropped[1]->Top() * 2);
}

TEST_F(Arranging, TheCheckStopsPreviewAndPrintWithItsFindingsAndShowsEach)
{
    TfrmTessaria& w = *Window;
    const QStringList files = WritePictures(6);
    ASSERT_TRUE(Arrange(files, {2, 2}, TAutoCaption::FilenameSizeAndDate).isEmpty());
    // Arranged pictures with their captions print as laid out (at a
    // resolution these small pictures reach).
    EXPECT_TRUE(w.CheckLayoutForPrinting(10).empty());
    // 60 pixels across about three inches is far below 200 DPI.
    const std::vector<TFinding> coarse = w.CheckLayoutForPrinting(200);
    ASSERT_EQ(coarse.size(), 6u);
    EXPECT_EQ(coarse[0].Kind, TFindingKind::LowResolution);

    QFile::remove(files[5]); // the second page's second picture
    int checks = 0, previews = 0;
    std::vector<QStringList> shown;
    Dialogs->OnModal = [&](QDialog& dialog) {
        auto* check = dynamic_cast<TfrmPrintCheck*>(&dialog);
        if (!check) {
            ++previews;
            return 0;
        }
        ++checks;
        QStringList lines;
        for (int i = 0; i < check->lbFindings->count(); ++i)
            lines << check->lbFindings->item(i)->text();
        shown.push_back(lines);
        EXPECT_EQ(check->BtnGoOn->text(), checks == 1 ? "Preview anyway" : "Print anyway");
        // The missing picture is on page 2: selecting it shows that page with the box selected.
        check->lbFindings->setCurrentRow(int(lines.size()) - 1);
        EXPECT_EQ(w.CurrentPage, w.Pages[1]);
        EXPECT_EQ(w.SelectedBox(), Pictures(w.Pages[1])[1]);
        return int(checks == 1 ? QDialog::Rejected : QDialog::Accepted);
    };
    w.Preview1->trigger(); // cancelled: no preview
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(previews, 0);
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].size(), 6);
    EXPECT_TRUE(shown[0].last().startsWith("Page 2, box 3: the picture file ")) << shown[0].last().toStdString();
    EXPECT_TRUE(shown[0].last().endsWith(" is missing"));
    EXPECT_TRUE(shown[0][0].contains("DPI, below 70 % of the chosen 200 DPI")) << shown[0][0].toStdString();

    // Print anyway: the print goes on and stops at the missing picture.
    w.Print1->trigger();
    EXPECT_EQ(checks, 2);
    const QStringList errors = Dialogs->Texts(TScriptedDialogs::TKind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("p105.bmp")) << errors[0].toStdString();

    // Nothing to find: no question, straight to the preview.
    w.New1Click();
    ASSERT_TRUE(Arrange(files.mid(0, 2), {1, 2}).isEmpty());
    w.Options()->cbDPI->setCurrentText("10");
    w.Preview1->trigger();
    EXPECT_EQ(checks, 2);
    EXPECT_EQ(previews, 1);
}

} // namespace
