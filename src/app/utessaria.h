#pragma once
// The main window: the one long-lived window of the program. It holds the
// program's state and its command handlers; each group of members below is
// defined in its subsystem's folder (see the comment of each group).

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "base/alignment.h"
#include "imageio/bitmap.h"
#include "layout/arrangegrid.h"
#include "layout/layouthistory.h"
#include "layout/pagegeometry.h"
#include "layout/viewgeometry.h"
#include "platform/color.h"
#include "platform/dialogs.h"
#include "platform/filenames.h"
#include "print/printcheck.h"

class QAction;
class QComboBox;
class QPrinter;
class QWheelEvent;
class QPainter;
class QMimeData;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QSplitter;
class QToolBar;

namespace tessaria {

class TCanvasPanel;
class TDragStarter;
class TRectBox;
class TScreenCopies;
class TfrmLorvaneOptions;
class TFileListView;
class TFolderTree;
class TFormSettings;
class TImage;
class TImageList;
class TPreviewPrinter;
class TStatusBar;
class TThumbnailMaker;
class TUpDown;

class TfrmTessaria : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmTessaria(QWidget* parent = nullptr);
    ~TfrmTessaria() override;

    // ---- Shell: start-up, menus, tool bar, keys, closing (app/utessaria.cpp) ----
    // Components, named as their object names.
    QMenuBar* MainMenu1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    TStatusBar* sb1 = nullptr;
    QWidget* PnlLeft = nullptr;
    QWidget* PnlLeftTop = nullptr;
    QWidget* PnlLeftMiddle = nullptr;
    QFrame* PnlLeftBottom = nullptr;
    QSplitter* Splitter1 = nullptr; // left panel | right panel
    QSplitter* LeftSplitter = nullptr; // holds the handles Splitter2 and Splitter4
    QWidget* PnlRight = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* ScrollBoxContents = nullptr;
    TCanvasPanel* PnlDropShadow = nullptr;
    TFolderTree* TV1 = nullptr;
    TFileListView* LV1 = nullptr;
    TImage* PreImage = nullptr;
    QMenu* LVPopUp1 = nullptr;
    QLineEdit* txtPage = nullptr;
    TUpDown* CanvasPageNumber = nullptr;
    QLabel* txtPageCount = nullptr;
    TFormSettings* FormSettings1 = nullptr;
    QList<QPixmap> tbImages; // the 19 tool bar glyphs
    QList<QPixmap> tbImages2x; // the same at twice the size, for scaled screens
    TFileDialogSpec SaveDialog1;
    TFileDialogSpec OpenDialog1;

    // Menu items and tool buttons, by component name.
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Options1 = nullptr;
    QAction* Preview1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* Quit1 = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QMenu* Bookmarks1 = nullptr;
    QAction* AddBookmark1 = nullptr;
    QAction* EditBookmarks1 = nullptr;
    QAction* N6 = nullptr; // the separator the bookmark items follow
    QAction* HelponTessaria1 = nullptr;
    QAction* HelpIndex1 = nullptr;
    QAction* About1 = nullptr;
    QAction* ViewFileDetails1 = nullptr;
    QAction* ViewSmallThumbnails1 = nullptr;
    QAction* ViewImage1 = nullptr;
    QAction* Update1 = nullptr;
    QAction* tbNewFile = nullptr;
    QAction* tbOpenFile = nullptr;
    QAction* tbSaveFile = nullptr;
    QAction* tbPageSetup = nullptr;
    QAction* tbProperties = nullptr;
    QAction* tbShowGrid = nullptr;
    QAction* tbAlign = nullptr;
    QAction* tbSearch = nullptr;
    QAction* tbPreview = nullptr;
    QAction* tbPrint = nullptr;
    QAction* tbRotateLeft = nullptr;
    QAction* tbRotateRight = nullptr;
    QAction* tbAddText = nullptr;
    QAction* tbAlignLeft = nullptr;
    QAction* tbAlignCenter = nullptr;
    QAction* tbAlignRight = nullptr;
    QAction* tbNewPage = nullptr;
    QAction* tbDeleteCurrentPage = nullptr;
    QAction* ToolButton5 = nullptr;

    // State.
    QString FileMask;
    int SortColumn = 0;
    bool SortAscending = true;
    bool ThumbBuilding = false;
    QString ThumbFolder;
    int ViewerWidth = 0;
    int ViewerHeight = 0;
    QString PreviewFile;
    QString SettingsKey;
    QStringList Bookmarks;
    QList<TCanvasPanel*> Pages;
    TCanvasPanel* CurrentPage = nullptr;
    bool DocumentSaved = true;
    int LayoutPPI = 0;
    int LayoutOrientation = 0;
    int LastFontSize = 10;
    QString LastFontName;
    TColor LastFontColor = 0;
    TAlignment LastAlignment = TAlignment::taCenter;

    // Window events.
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
    // The stored "Turn photos by their camera orientation" onto `options`:
    // read when the window is shown, and by batch runs, which never show it.
    void ReadStoredTurnOption(TfrmLorvaneOptions* options);
    // Both return true when they acted on the key.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    bool FormKeyUp(int key, Qt::KeyboardModifiers modifiers);

    // Commands of the shell.
    void Quit1Click();
    void HelponTessaria1Click();
    void HelpIndex1Click();
    void About1Click();
    void ToolButton5Click();
    // The designed scale was applied for a 120-dpi screen.
    bool ScaledForLargeFonts() const { return ScaledForLargeFonts_; }
    // The program's main form ends the program when it closes.
    void SetMainForm(bool value) { MainForm_ = value; }

    // ---- Browsing: folder tree, file list, preview, thumbnails, viewer (browse/) ----
    // browse/filelist.cpp
    TImageList* ImageList1 = nullptr; // the list's large images (thumbnails)
    void ConnectBrowsing();
    void TV1Change();
    // Files came, went or changed in the shown folder: the list is filled
    // again with the same sort and selection, and new tiles made.
    void TV1ContentsChanged();
    void Update1Click();
    void FillFileList(TFileListView* list, const QString& folder, TStatusBar* statusBar, const QString& mask);
    // Sorts LV1 by SortColumn and SortAscending; raises when a text cannot be read.
    void SortFileList();
    // Fills the list again from the tree's folder and the mask, and sorts it.
    void RefillFileList();
    // In the thumbnail view: builds the tiles of new and changed files once the
    // running command is over.
    void RebuildChangedThumbnailsLater();
    int LV1Compare(int row1, int row2) const;
    void LV1Click();
    void LV1Change();
    void LV1ColumnClick(int column);
    // browse/preview.cpp
    // The picture the preview shows (a JPEG reduced to what the pane and a
    // box's copy need); placing a picture on a page copies it.
    TBitmap PreviewPicture;
    // The preview picture's own size in its file (upright, as it is shown).
    QSize PreviewPictureSize;
    // The camera orientation the preview picture was turned upright from
    // (OrientationNormal: shown as stored).
    int PreviewOrientation = 1;
    // The options' "Turn photos by their camera orientation" (on until the
    // options exist).
    bool TurnsPhotosUpright() const;
    // The least box the preview's picture is loaded for.
    QSize PreviewLoadBox() const;
    TDragStarter* PreviewDrag = nullptr;
    void ShowPreview();
    void PnlLeftBottomResize();
    void FitPreview();
    void PreImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    QMimeData* PreviewDragData() const;
    // The folder tree's folder joined with the selected item's caption; empty
    // when no item is selected.
    QString SelectedFilePath() const;
    // browse/viewer.cpp
    void ViewImage1Click();
    void ShowInViewer(const QString& path);
    void ViewerResizedByUser(QSize before, QSize after);
    // The viewer's keys: the next (+1) or previous (-1) file of the list.
    void ViewerStep(int direction);
    // browse/thumbnails.cpp
    // Each file's thumbnail in ImageList1 (-1: none could be made), by
    // caption, with the size and time of the file it was made from.
    struct TThumbTile {
        int Image = -1;
        TFileStamp Stamp;
    };
    QHash<QString, TThumbTile> ThumbTiles;
    bool ThumbUpright = true; // whether ThumbTiles were turned upright
    uint64_t ThumbBuildSerial = 0;     // counts builds; a newer one ends an older one
    uint64_t ThumbBuildGeneration = 0; // the list generation the running build is for
    TThumbnailMaker* ThumbMaker = nullptr; // the running build's, while it runs
    // Lets the workers of a build that no longer counts stop decoding.
    void StopThumbnailWorkers();
    void ViewFileDetails1Click(QAction* sender);
    void BuildSmallThumbnails();
    // browse/browsecommands.cpp
    void AddBookmark1Click();
    void EditBookmarks1Click();
    // Rebuilds the bookmark items of the Bookmarks menu from the file.
    void BuildBookmarkItems();
    void BookmarkClick(QAction* sender);
    QAction* AddBookmarkItem(const QString& entry);
    void tbSearchClick();
    // Shows a file's folder in the tree and selects the first listed file
    // whose name begins with the file's name.
    void ShowFolderAndFile(const QString& path);

    // ---- Layout: pages, boxes, text, turns, clipboard, options (layout/) ----
    // Pages (layout/pages.cpp).
    void tbNewPageClick();
    void tbDeleteCurrentPageClick();
    void tbShowGridClick();
    void CanvasPageNumberClick();
    void UpdatePageGeometry();
    void PnlWhiteClick();
    void PnlWhiteDragOver(TCanvasPanel* page, const QMimeData* data, bool& accept);
    void PnlWhiteDragDrop(TCanvasPanel* page, const QMimeData* data, QPoint position);
    void DeleteAllBoxes();
    // Frees one box as the page and document commands do.
    void FreeBox(TRectBox* box);
    // The boxes of the layout in creation order; those of one page.
    QList<TRectBox*> Boxes() const;
    QList<TRectBox*> PageBoxes(const TCanvasPanel* page) const;
    // The last focused box in creation order, or none.
    TRectBox* SelectedBox() const;
    // The printable area of the current printer with the engine's margins.
    TPrintableArea CurrentPrintableArea();
    // The same from the engine's device values as they are (a recording keeps
    // its pages); refreshes the options' pixel counts and printer name.
    TPrintableArea EnginePrintableArea();
    // Boxes and their handlers (layout/placing.cpp).
    enum TBoxHandlers : unsigned { bhDrop = 1, bhResize = 2, bhAll = bhDrop | bhResize };
    TRectBox* CreateBox(TCanvasPanel* page, unsigned handlers);
    void RectBoxPaint(TRectBox* box, QPainter* canvas, QRect& rect);
    void RectBoxClick(TRectBox* box);
    void RectBoxResize(TRectBox* box);
    void RectBoxDblClick(TRectBox* box);
    void RectBoxDragOver(TRectBox* box, const QMimeData* data, bool& accept);
    void RectBoxDragDrop(TRectBox* box, const QMimeData* data, QPoint position);
    void DeleteSelectedBox();
    void ClearBoxInfo();
    QString BoxSizeText(const TRectBox* box) const;
    // The picture a drop brings (the preview's own, or one read into
    // `loaded`), the size of its file's picture and the path it comes from;
    // null when the drop carries nothing to place.
    const TBitmap* DroppedPicture(const QMimeData* data, TBitmap& loaded, QSize& pictureSize, QString& path);
    // Lets the window repaint, not take input, during a long drop.
    void RepaintWhileBusy();
    // Text boxes (layout/textboxes.cpp).
    void tbAddTextClick();
    void EditTextBox(TRectBox* box);
    void tbAlignLeftClick(QAction* sender);
    int MaxLinkTag() const;
    bool SetLinks();
    QString CaptionFor(const TRectBox* picture) const;
    // Turns and auto-align (layout/turns.cpp).
    void tbRotateLeftClick(QAction* sender);
    void tbAlignClick();
    // Clipboard (layout/clipboard.cpp).
    void Cut1Click(QAction* sender);
    void CopyBoxToClipboard(TRectBox* box);
    void Paste1Click();
    // Undo and redo (layout/undocommands.cpp).
    TLayoutHistory* History = nullptr;
    void CreateHistory();
    void Undo1Click();
    void Redo1Click();
    // Runs a command that changes the layout as one undoable step.
    template <class F>
    void LayoutStep(const QString& text, F&& command);
    template <class Handler>
    void ConnectCommand(QAction* action, Handler handler, const QString& step = {});
    // The selection acts only on the shown page; enables what can act.
    void UpdateActions();
    // Shows a page list again after undo or redo, with `current` shown.
    void ShowPages(const QList<TCanvasPanel*>& pages, TCanvasPanel* current);
    // Takes a box or a page out of the layout: kept for undo while a step is
    // being recorded, freed otherwise.
    void RemoveBox(TRectBox* box);
    void RemovePage(TCanvasPanel* page);
    // The status bar panel with the selected box's position and size, and
    // the dialog its double click opens (layout/undocommands.cpp).
    static constexpr int BoxPositionPanel = 3;
    void ShowBoxPosition();
    void EditBoxPosition();
    // Puts a picture's caption under it again.
    void FollowPicture(TRectBox* picture);
    // The arrow keys move the selected box; true when one was moved.
    bool ArrowKeyMove(int key, Qt::KeyboardModifiers modifiers);
    // The view: zoom, the sheet, the zoom box (layout/zoom.cpp). The layout
    // keeps page pixels; the zoom only says how large the screen shows them.
    enum class TZoomMode { Factor, FitPage, FitWidth };
    double Zoom = 1; // screen pixels per page pixel; 1 shows a page at its 400 page pixels
    TZoomMode ZoomMode = TZoomMode::Factor;
    TCanvasPanel* PnlSheet = nullptr; // the sheet of paper the current page lies on
    QComboBox* cbZoom = nullptr;
    QAction* ZoomIn1 = nullptr;
    QAction* ZoomOut1 = nullptr;
    QAction* FitWidth1 = nullptr;
    void CreateZoomControls();
    // The pictures boxes show, made for their size on the screen.
    TScreenCopies* ScreenCopies = nullptr;
    void CreateScreenCopies();
    // Places the sheet, its shadow and the pages at the zoom.
    void LayoutView();
    // A new zoom; the page point under `anchor` (viewport coordinates, or the
    // viewport's centre when outside it) stays there.
    void SetZoom(double zoom, QPoint anchor = QPoint(-1, -1));
    void SetZoomMode(TZoomMode mode);
    // The zoom that shows the paper at its real size on this screen ("100 %").
    double RealSizeZoom() const;
    // Ctrl+wheel over the page area; true when it zoomed.
    bool ZoomWheel(QWheelEvent* event);
    void ZoomStep(int steps);
    // The zoom box: what it shows, and a choice or a typed percentage.
    void ShowZoomInBox();
    void ZoomBoxChosen(const QString& text);
    TSheetMargins CurrentSheetMargins() const;
    void ReadStoredZoom();
    // Options (layout/optionscommands.cpp).
    void tbPropertiesClick();
    // The options dialog, connected to this window on first use.
    TfrmLorvaneOptions* Options();
    // What the options' orientation and footer choices do at once (print/).
    void OrientationChosen(int index);
    void PrintInfoChosen(bool ticked);

    // ---- Arranging pictures in a grid (layout/arranging.cpp) ----
    QAction* Arrange1 = nullptr; // Edit > Arrange..., also in the pages' pop-up menu
    QMenu* PagePopUp1 = nullptr;
    struct TFileFailure {
        QString FileName;
        QString Message;
    };
    void Arrange1Click();
    // Lays the pictures out in the grid from the current page when it has no
    // boxes, else from a new page after it, adding pages as they are needed,
    // and shows the first of them. Files that cannot be read are left out and
    // given back with their readers' messages. Not a step of its own.
    QList<TFileFailure> ArrangeFiles(const QStringList& files, const TArrangeSettings& settings);
    // The picture boxes of the current page (with their captions) in the
    // grid, the ones that do not fit on pages added after it; false when the
    // page has no picture.
    bool ArrangePageBoxes(const TArrangeSettings& settings);
    // Several dropped files placed one after another from the drop point.
    void PlaceFiles(const QStringList& files, QPoint position);
    // The files selected in the list, in the list's order.
    QStringList SelectedFilePaths() const;
    // A new page right after `after`; it becomes the current page.
    TCanvasPanel* InsertPageAfter(TCanvasPanel* after);
    // A text box with the defaults of the next text box, not yet shown.
    TRectBox* NewTextBox(TCanvasPanel* page);
    // Links a caption to its picture with a new link id.
    void LinkCaption(TRectBox* picture, TRectBox* caption);
    // The choices of the last arrangement, kept in the settings store.
    TArrangeSettings StoredArrangeSettings() const;
    void StoreArrangeSettings(const TArrangeSettings& settings);
    // Told what a long job has done, for the command line's progress line.
    std::function<void(const QString& stage, int done, int total)> BatchProgress;

    // ---- The check before printing (print/checkcommands.cpp) ----
    // What would print wrong at that resolution, with the printer's values
    // as they are now.
    std::vector<TFinding> CheckLayoutForPrinting(int dpi);
    // Runs the check and, with findings, asks whether to go on; false when
    // the user cancels. `print` names the button Print, else Preview.
    bool CheckBeforePrinting(bool print, int dpi);
    // Shows a finding's page with its box selected.
    void ShowFinding(const TFinding& finding);
    // A picture file as the check sees it: read once as long as its size and
    // time stay the same.
    TPictureProbe ProbePicture(const QString& fileName);
    // A picture just read whole for a box, so that the check need not read it again.
    void RememberPicture(const QString& fileName, int width, int height);

    // ---- Documents: new, open, save (app/documentcommands.cpp) ----
    void New1Click();
    void Open1Click();
    void NewSaveRoutine();
    // Writes the layout to the file as Save does, without asking.
    void SaveDocumentFile(const QString& fileName);
    // The file the layout was last saved to or opened from; names the window.
    QString DocumentFileName;
    // DocumentSaved as the undo history sees it; the window caption's mark follows.
    void SetDocumentSaved(bool saved);
    void UpdateCaption();
    // Closing asks to save unsaved changes; false when the window stays open.
    bool CloseQuery();
    int CountBoxes() const;
    int CountPageBoxes(const TCanvasPanel* page) const;
    // Reads and checks a whole document, then rebuilds the layout from it;
    // a damaged file changes nothing. No save prompt, no dialog. False when
    // the file was not a valid document.
    bool OpenDocumentFile(const QString& fileName);
    // Opening reads each picture for its screen copy; a batch print, which
    // reads them again anyway, switches that off.
    bool LoadScreenCopies = true;

    // ---- Printing: preview, print, page setup (print/) ----
    TPreviewPrinter* PP1 = nullptr; // the page recorder and printer
    void Print1Click(QAction* sender);
    void tbPrintClick();
    void tbPageSetupClick();
    // Records every page of the layout into PP1: pictures read again and
    // resampled to `dpi` with the filter of that index, text boxes as text.
    void RecordLayout(int dpi, int filterIndex);
    // Records the layout as above and prints each page as soon as it is
    // recorded: on the current printer, or into the PDF file when one is named.
    void PrintLayout(int dpi, int filterIndex, const QString& pdf = QString());
    // Writes the recorded pages to a PDF file with the engine's sheet.
    void PrintRecordedToPdf(const QString& fileName);
    // The options' resolution and filter, as Print uses them; a resolution
    // that is no integer raises the conversion error.
    int ChosenPrintDpi();
    int ChosenFilterIndex();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateComponents();
    void CreateMenus();
    void CreateToolBar();
    void CreateListPopUp();
    void LoadToolBarGlyphs();
    QAction* AddToolButton(const QString& name, int glyph, const QString& hint);
    void AddToolSeparator(int width);
    void ApplyLargeFontScaling();
    void SetDesignedSplitterSizes(int m, int d);
    bool IsKeyForThisWindow(QObject* watched) const;

    // Records the pages; with a printer (asked for once the engine knows its
    // sheet) each page is sent to it as soon as it is recorded.
    void RecordPages(int dpi, int filterIndex, const std::function<QPrinter*()>& printer);

    bool OptionsConnected_ = false;
    bool Recording_ = false; // a recording runs (its message loop may offer Print again)
    bool ScaledForLargeFonts_ = false;
    bool MainForm_ = false;
    bool Closed_ = false;
    std::unique_ptr<TLayoutHost> LayoutHost_;
    struct TProbeEntry {
        qint64 Size = -1;
        qint64 Modified = 0;
        TPictureProbe Probe;
    };
    QHash<QString, TProbeEntry> PictureProbes_;
};

template <class F>
void TfrmTessaria::LayoutStep(const QString& text, F&& command)
{
    TLayoutEdit step(*History, text);
    std::forward<F>(command)();
}

// The main window, once created (the program's global frmTessaria).
extern TfrmTessaria* frmTessaria;
// The edge in pixels of a small thumbnail (64, set when the window is created).
extern int ThumbSize;

} // namespace tessaria
