// The main window's arranging: "Arrange..." lays pictures out in a grid, as
// one step of undo; several dropped files are placed one after another.
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QScrollArea>
#include <algorithm>
#include <cmath>

#include "app/utessaria.h"
#include "base/exceptions.h"
#include "base/rounding.h"
#include "browse/filelistview.h"
#include "controls/foldertree.h"
#include "controls/statusbar.h"
#include "imageio/orientation.h"
#include "imageio/reducedpicture.h"
#include "layout/boxgeometry.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "layout/uarrange.h"
#include "layout/ulorvaneoptions.h"
#include "platform/busycursor.h"
#include "platform/datetext.h"
#include "platform/dialogs.h"
#include "platform/filenames.h"
#include "platform/settingsstore.h"
#include "print/core/rotate.h"
#include "print/prevprinter.h"
#include "print/textfit.h"

namespace tessaria {

namespace {

// A picture read for arranging: its copy for the screen (turned), its own
// size and the turn that shows it upright.
struct TArrangedPicture {
    QString FileName;
    TBitmap Reduced;
    int Width = 0;
    int Height = 0;
    int Turn = 0;
    // Height / width as it stands on the page.
    double Aspect() const
    {
        const bool across = Turn == 90 || Turn == 270;
        return across ? double(Width) / Height : double(Height) / Width;
    }
};

// Only the screen copy is needed: a JPEG is decoded at the scale it takes.
// With `upright` a photo is turned by its camera orientation, as a dropped
// one is (a mirrored orientation by the turn of its rows).
TArrangedPicture ReadForArranging(const QString& fileName, bool upright)
{
    TReducedPicture picture =
        LoadPictureForBoxEitherWay(FileNameString(fileName), ReducedCopySide, ReducedCopySide);
    if (picture.Bitmap.Empty() || picture.Width <= 0 || picture.Height <= 0)
        throw Exception("The picture is empty");
    TArrangedPicture a;
    a.FileName = fileName;
    a.Width = picture.Width;
    a.Height = picture.Height;
    a.Turn = upright ? OrientationTurn(picture.Bitmap.Orientation()) : 0;
    a.Reduced = ReducedCopy(picture.Bitmap);
    RotateByDegrees(a.Reduced, a.Turn);
    return a;
}

// A new box shows the picture as a single drop would, at `bounds` in page
// pixels.
void ShowArrangedPicture(TRectBox& box, const TArrangedPicture& p, bool proportion, int ppi, QRect bounds)
{
    box.SetProportionate(proportion);
    box.SetCanvasPPI(ppi);
    box.SetRatio((long double)p.Aspect());
    box.SetPictureWidth(p.Width);
    box.SetPictureHeight(p.Height);
    box.SetPicture(p.Reduced);
    box.SetFileName(p.FileName);
    box.SetPictureDate(DateTimeValue(QFileInfo(p.FileName).lastModified()));
    box.SetRotation(p.Turn);
    box.SetTag(0);
    box.SetHidePassiveFrame(true);
    box.SetBounds(bounds);
    box.show();
}

QString FailureList(const QList<TfrmTessaria::TFileFailure>& failures)
{
    QStringList lines;
    for (const auto& f : failures)
        lines << f.FileName + QStringLiteral(": ") + f.Message;
    return QStringLiteral("These pictures could not be read and were left out:\n") + lines.join('\n');
}

// Lets the status bar and the gauge show progress without taking the user's
// clicks and keys in the middle of a step.
void ShowProgress() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

} // namespace

QStringList TfrmTessaria::SelectedFilePaths() const
{
    QStringList paths;
    if (!LV1->Selection())
        return paths;
    QModelIndexList rows = LV1->Selection()->selectedRows(0);
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& row : rows)
        paths << JoinPath(TV1->Directory(), LV1->Model()->Item(row.row()).Texts.Caption);
    return paths;
}

TCanvasPanel* TfrmTessaria::InsertPageAfter(TCanvasPanel* after)
{
    tbNewPageClick();
    TCanvasPanel* page = CurrentPage;
    Pages.removeAll(page);
    Pages.insert(Pages.indexOf(after) + 1, page);
    return page;
}

TArrangeSettings TfrmTessaria::StoredArrangeSettings() const
{
    TArrangeSettings s;
    if (const std::optional<TGridSize> grid = ParseGridSize(ReadSetting(SettingsKey, "ArrangeGrid", "2x2")))
        s.Grid = *grid;
    bool ok = false;
    const double gap = ReadSetting(SettingsKey, "ArrangeGap", QString()).toDouble(&ok);
    if (ok && gap >= 0 && gap <= 50)
        s.GapMillimetres = gap;
    s.GapInInches = ReadSetting(SettingsKey, "ArrangeGapUnit", "mm") == QLatin1String("in");
    const int captions = ReadSetting(SettingsKey, "ArrangeCaptions", "0").toInt();
    if (captions >= 0 && captions <= 2)
        s.Captions = TAutoCaption(captions);
    return s;
}

void TfrmTessaria::StoreArrangeSettings(const TArrangeSettings& s)
{
    WriteSetting(SettingsKey, "ArrangeGrid", QStringLiteral("%1x%2").arg(s.Grid.Columns).arg(s.Grid.Rows));
    WriteSetting(SettingsKey, "ArrangeGap", QString::number(s.GapMillimetres, 'g', 6));
    WriteSetting(SettingsKey, "ArrangeGapUnit", s.GapInInches ? "in" : "mm");
    WriteSetting(SettingsKey, "ArrangeCaptions", QString::number(int(s.Captions)));
}

void TfrmTessaria::Arrange1Click()
{
    if (!CurrentPage)
        return;
    const QStringList files = SelectedFilePaths();
    int pagePictures = 0;
    for (const TRectBox* box : PageBoxes(CurrentPage))
        pagePictures += box->TextBox() ? 0 : 1;
    if (files.isEmpty() && pagePictures == 0) {
        Dialogs().ShowMessage("Select pictures in the file list, or put pictures on this page, to arrange them.");
        return;
    }
    TfrmArrange dialog(this);
    dialog.Prepare(int(files.size()), pagePictures, CurrentPage->PageSize(), LayoutPPI, StoredArrangeSettings());
    if (Dialogs().ExecModal(dialog) != QDialog::Accepted)
        return;
    const TArrangeSettings settings = dialog.Settings();
    StoreArrangeSettings(settings);
    QList<TFileFailure> failures;
    LayoutStep("Arrange", [&] {
        if (dialog.SelectedFilesChosen())
            failures = ArrangeFiles(files, settings);
        else
            ArrangePageBoxes(settings);
    });
    if (!failures.isEmpty())
        Dialogs().ShowMessage(FailureList(failures));
}

namespace {

// Page pixels to printer pixels for measuring captions, as printing maps them.
struct TTextScale {
    double Sx = 1;
    double Sy = 1;
    int Dpi = 300;
};

// The height in page pixels that a caption needs at that width.
int CaptionPixels(const TTextScale& scale, const QFont& font, const QString& text, int width)
{
    const int device = PrintedTextHeight(font, text, int(Round(width * scale.Sx)), scale.Dpi);
    if (device <= 0)
        return 0;
    // A pixel more than the text takes, so that rounding on the way to paper cannot cut its last line.
    return int(std::ceil(device / scale.Sy)) + 1;
}

// The grid on `page` with the gap in its page pixels; refused when the gap
// leaves no room.
TGridLayout ArrangeLayout(const TCanvasPanel& page, const TArrangeSettings& settings, int layoutPPI)
{
    TGridLayout layout;
    layout.Page = page.PageSize();
    layout.Grid = settings.Grid;
    layout.Gap = MillimetresToPagePixels(settings.GapMillimetres, layoutPPI);
    if (!GridHasRoom(layout))
        throw Exception("The gap leaves no room for the pictures.");
    return layout;
}

// Page pixels to the printer's, as printing will scale the captions.
TTextScale CaptionScale(const TfrmTessaria& window, const TCanvasPanel& page)
{
    const TPrintGeometry area = window.PP1->LayoutArea();
    TTextScale scale;
    if (area.Width > 0 && area.Height > 0 && window.PP1->PixelsPerInchY() > 0)
        scale = {double(area.Width) / page.PageWidth(), double(area.Height) / page.PageHeight(),
                 window.PP1->PixelsPerInchY()};
    else if (window.LayoutPPI > 0)
        scale.Sx = scale.Sy = double(scale.Dpi) / window.LayoutPPI;
    return scale;
}

// The font new captions get: the last one chosen for text.
QFont NewCaptionFont(const TfrmTessaria& window)
{
    QFont font(window.LastFontName);
    font.setPointSize(window.LastFontSize > 0 ? window.LastFontSize : 10);
    return font;
}

} // namespace

QList<TfrmTessaria::TFileFailure> TfrmTessaria::ArrangeFiles(const QStringList& files, const TArrangeSettings& settings)
{
    QList<TFileFailure> failures;
    if (!CurrentPage || files.isEmpty())
        return failures;
    TGridLayout layout = ArrangeLayout(*CurrentPage, settings, LayoutPPI);

    TBusyCursor busy;
    const bool upright = Options()->cbTurnByOrientation->isChecked();
    std::vector<TArrangedPicture> pictures;
    for (int i = 0; i < files.size(); ++i) {
        const QString name = QFileInfo(files[i]).fileName();
        sb1->SetPanelText(1, QStringLiteral("Reading ") + name + QStringLiteral("..."));
        sb1->SetGaugePosition(int(Round(double(i) / files.size() * 100)));
        if (BatchProgress)
            BatchProgress(QStringLiteral("arranging"), i, int(files.size()));
        ShowProgress();
        try {
            pictures.push_back(ReadForArranging(files[i], upright));
            RememberPicture(files[i], pictures.back().Width, pictures.back().Height);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            failures << TFileFailure{files[i], QString::fromUtf8(e.what())};
        }
    }
    if (BatchProgress)
        BatchProgress(QStringLiteral("arranging"), int(files.size()), int(files.size()));
    sb1->SetPanelText(1, QString());
    sb1->SetGaugePosition(0);
    if (pictures.empty())
        return failures;

    TfrmLorvaneOptions* options = Options();
    const bool proportion = options->cbMaintainProportion->isChecked();
    TCanvasPanel* first = PageBoxes(CurrentPage).isEmpty() ? CurrentPage : InsertPageAfter(CurrentPage);
    layout.Page = first->PageSize();

    const TTextScale scale = CaptionScale(*this, *first);
    const QFont captionFont = NewCaptionFont(*this);
    QStringList captions;
    std::vector<double> aspects;
    for (const TArrangedPicture& p : pictures) {
        aspects.push_back(p.Aspect());
        if (settings.Captions != TAutoCaption::None)
            captions << CaptionLine(settings.Captions, p.FileName, p.Width, p.Height,
                                    DateTimeToStr(QFileInfo(p.FileName).lastModified()));
    }
    if (!captions.isEmpty())
        layout.CaptionHeight = CaptionBandHeight(layout, aspects, [&](size_t i, int width) {
            return CaptionPixels(scale, captionFont, captions[qsizetype(i)], width);
        });

    QList<TCanvasPanel*> pages{first};
    for (size_t i = 0; i < pictures.size(); ++i) {
        const TArrangedPicture& p = pictures[i];
        const TGridSlot slot = SlotOf(int(i), settings.Grid);
        while (slot.Page >= pages.size())
            pages << InsertPageAfter(pages.last());
        TCanvasPanel* page = pages[slot.Page];
        TGridLayout pageLayout = layout;
        pageLayout.Page = page->PageSize();
        const TCellPlacement place = PlaceInCell(GridCell(pageLayout, slot.Cell), aspects[i], layout.CaptionHeight);

        TRectBox* box = CreateBox(page, bhAll);
        ShowArrangedPicture(*box, p, proportion, LayoutPPI, place.Picture);
        if (!captions.isEmpty()) {
            TRectBox* caption = NewTextBox(page);
            LinkCaption(box, caption);
            caption->SetBounds(place.Caption);
            caption->SetLines({captions[qsizetype(i)]});
            caption->show();
        }
    }
    SetDocumentSaved(false);
    ShowPages(Pages, first);
    return failures;
}

bool TfrmTessaria::ArrangePageBoxes(const TArrangeSettings& settings)
{
    if (!CurrentPage)
        return false;
    QList<TRectBox*> pictures;
    for (TRectBox* box : PageBoxes(CurrentPage))
        if (!box->TextBox())
            pictures << box;
    if (pictures.isEmpty())
        return false;
    TCanvasPanel* first = CurrentPage;
    TGridLayout layout = ArrangeLayout(*first, settings, LayoutPPI);

    const TTextScale scale = CaptionScale(*this, *first);
    const QFont newCaptionFont = NewCaptionFont(*this);

    // With a caption mode every picture gets that caption; without one, the
    // captions there are keep their text and the others stay without.
    std::vector<double> aspects;
    QStringList texts;
    QList<QFont> fonts;
    bool anyCaption = false;
    for (const TRectBox* box : pictures) {
        const double ratio = double(box->Ratio());
        aspects.push_back(ratio > 0 ? ratio : double(box->Height()) / std::max(1, box->Width()));
        if (settings.Captions != TAutoCaption::None) {
            texts << CaptionLine(settings.Captions, box->FileName(), box->PictureWidth(), box->PictureHeight(),
                                 DateTimeToStr(QFileInfo(box->FileName()).lastModified()));
            fonts << (box->LinkChild() ? box->LinkChild()->Font() : newCaptionFont);
            anyCaption = true;
        } else if (const TRectBox* caption = box->LinkChild()) {
            texts << caption->Lines().join('\n');
            fonts << caption->Font();
            anyCaption = true;
        } else {
            texts << QString();
            fonts << newCaptionFont;
        }
    }
    if (anyCaption) {
        layout.CaptionHeight = CaptionBandHeight(layout, aspects, [&](size_t i, int width) {
            return CaptionPixels(scale, fonts[qsizetype(i)], texts[qsizetype(i)], width);
        });
        // A caption that is kept or made is at least a line high.
        layout.CaptionHeight = std::max(layout.CaptionHeight, 1);
    }

    QList<TCanvasPanel*> pages{first};
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        TRectBox* box = pictures[i];
        const TGridSlot slot = SlotOf(int(i), settings.Grid);
        while (slot.Page >= pages.size())
            pages << InsertPageAfter(pages.last());
        TCanvasPanel* page = pages[slot.Page];
        TGridLayout pageLayout = layout;
        pageLayout.Page = page->PageSize();
        const TCellPlacement place = PlaceInCell(GridCell(pageLayout, slot.Cell), aspects[size_t(i)], layout.CaptionHeight);
        auto moveTo = [page](TRectBox* b) {
            if (b->parentWidget() != page) {
                b->setParent(page);
                b->show();
            }
        };
        moveTo(box);
        box->SetBounds(place.Picture);
        TRectBox* caption = box->LinkChild();
        if (settings.Captions != TAutoCaption::None && !caption) {
            caption = NewTextBox(page);
            LinkCaption(box, caption);
            caption->show();
        }
        if (caption) {
            moveTo(caption);
            caption->SetBounds(place.Caption.isEmpty() ? QRect(place.Picture.bottomLeft() + QPoint(0, 1),
                                                              QSize(place.Picture.width(), caption->Height()))
                                                        : place.Caption);
            if (settings.Captions != TAutoCaption::None)
                caption->SetLines({texts[i]});
        }
    }
    for (TRectBox* box : Boxes())
        box->SetFocus(false);
    SetDocumentSaved(false);
    ShowPages(Pages, first);
    return true;
}

void TfrmTessaria::PlaceFiles(const QStringList& files, QPoint position)
{
    if (!CurrentPage || files.isEmpty())
        return;
    TBusyCursor busy;
    QList<TFileFailure> failures;
    const bool upright = Options()->cbTurnByOrientation->isChecked();
    std::vector<TArrangedPicture> pictures;
    for (const QString& file : files) {
        try {
            pictures.push_back(ReadForArranging(file, upright));
            RememberPicture(file, pictures.back().Width, pictures.back().Height);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            failures << TFileFailure{file, QString::fromUtf8(e.what())};
        }
    }
    if (!pictures.empty()) {
        TfrmLorvaneOptions* options = Options();
        const bool proportion = options->cbMaintainProportion->isChecked();
        const TAutoCaption captionMode = options->AutoCaption();
        double heightInches = 0;
        if (!InchesFromText(options->txtHeight->text(), heightInches)) {
            options->txtHeight->setText("4.0");
            heightInches = 4.0;
        }
        double widthInches = 0;
        if (!proportion && !InchesFromText(options->txtWidth->text(), widthInches)) {
            options->txtWidth->setText("6.0");
            widthInches = 6.0;
        }
        // Each box as a single drop makes it; a caption adds its line under it.
        constexpr int CaptionHeight = 18;
        constexpr int NewBoxHandles = 5; // a new box's BoxSize
        const QSize pageSize = CurrentPage->PageSize();
        std::vector<QSize> sizes;
        std::vector<QSize> flowSizes;
        for (const TArrangedPicture& p : pictures) {
            const double height = Round(LayoutPPI * heightInches);
            const double width = proportion ? Round(height / p.Aspect()) : Round(LayoutPPI * widthInches);
            const QSize wanted(int(std::clamp(width, 0.0, 1e6)), int(std::clamp(height, 0.0, 1e6)));
            sizes.push_back(NewBoxSize(wanted, pageSize, NewBoxHandles));
            flowSizes.push_back(sizes.back() + QSize(0, captionMode != TAutoCaption::None ? CaptionHeight : 0));
        }
        const int gap = int(Round(MillimetresToPagePixels(DefaultArrangeGapMillimetres, LayoutPPI)));
        const std::vector<TFlowPlace> places = FlowPlaces(position, flowSizes, pageSize, gap);

        SetDocumentSaved(false);
        TCanvasPanel* first = CurrentPage;
        QList<TCanvasPanel*> pages{first};
        for (size_t i = 0; i < pictures.size(); ++i) {
            const TArrangedPicture& p = pictures[i];
            while (places[i].Page >= pages.size())
                pages << InsertPageAfter(pages.last());
            TCanvasPanel* page = pages[places[i].Page];
            TRectBox* box = CreateBox(page, bhAll);
            ShowArrangedPicture(*box, p, proportion, LayoutPPI,
                                KeptOnPage(QRect(places[i].At, sizes[i]), page->PageSize()));
            if (captionMode != TAutoCaption::None) {
                TRectBox* caption = NewTextBox(page);
                LinkCaption(box, caption);
                caption->SetBounds(QRect(box->Left(), box->Top() + box->Height(), box->Width(), CaptionHeight));
                caption->SetLines({CaptionLine(captionMode, p.FileName, p.Width, p.Height,
                                               DateTimeToStr(QFileInfo(p.FileName).lastModified()))});
                caption->show();
            }
        }
        for (TRectBox* box : Boxes())
            box->SetFocus(false);
        ShowPages(Pages, first);
    }
    if (!failures.isEmpty())
        Dialogs().ShowMessage(FailureList(failures));
}

} // namespace tessaria
