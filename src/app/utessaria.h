#pragma once
// The main window: the one long-lived window of the program. It holds the
// program's state and its command handlers; each group of members below is
// defined in its subsystem's folder (see the comment of each group).

#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

#include "platform/color.h"
#include "platform/dialogs.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QSplitter;
class QToolBar;

namespace tessaria {

class TCanvasPanel;
class TFileListView;
class TFolderTree;
class TFormSettings;
class TImage;
class TPreviewPrinter;
class TStatusBar;
class TUpDown;

enum class TTextAlignment { taLeftJustify, taCenter, taRightJustify };

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
    TTextAlignment LastAlignment = TTextAlignment::taCenter;

    // Window events.
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
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
    void TV1Change();
    void Update1Click();
    void LV1Click();
    void LV1Change();
    void LV1ColumnClick(int column);
    void ShowPreview();
    void PnlLeftBottomResize();
    void FitPreview();
    void PreImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void ViewImage1Click();
    void ViewFileDetails1Click(QAction* sender);
    void AddBookmark1Click();
    void EditBookmarks1Click();
    void BuildBookmarkItems();
    void tbSearchClick();

    // ---- Layout: pages, boxes, text, turns, clipboard, options (layout/) ----
    void tbNewPageClick();
    void tbDeleteCurrentPageClick();
    void tbShowGridClick();
    void CanvasPageNumberClick();
    void tbAlignClick();
    void tbRotateLeftClick(QAction* sender);
    void tbAddTextClick();
    void tbAlignLeftClick(QAction* sender);
    void Cut1Click(QAction* sender);
    void Paste1Click();
    void tbPropertiesClick();
    void DeleteSelectedBox();

    // ---- Documents: new, open, save (app/documentcommands.cpp) ----
    void New1Click();
    void Open1Click();
    void NewSaveRoutine();

    // ---- Printing: preview, print, page setup (print/) ----
    TPreviewPrinter* PP1 = nullptr; // the page recorder and printer
    void Print1Click(QAction* sender);
    void tbPrintClick();
    void tbPageSetupClick();

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

    bool ScaledForLargeFonts_ = false;
    bool MainForm_ = false;
    bool Closed_ = false;
};

// The main window, once created (the program's global frmTessaria).
extern TfrmTessaria* frmTessaria;

} // namespace tessaria
