#include "app/utessaria.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTreeView>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QUndoStack>
#include <optional>
#include <type_traits>

#include "app/about.h"
#include "app/forms.h"
#include "app/scaling.h"
#include "app/toolbarglyphs.h"
#include "base/convert.h"
#include "browse/filelistview.h"
#include "controls/foldermodel.h"
#include "controls/foldertree.h"
#include "browse/bookmarkfile.h"
#include "platform/filenames.h"
#include "platform/screenarea.h"
#include "base/exceptions.h"
#include "controls/image.h"
#include "controls/statusbar.h"
#include "controls/updown.h"
#include "layout/canvaspanel.h"
#include "layout/ulorvaneoptions.h"
#include "platform/application.h"
#include "platform/errorbox.h"
#include "platform/formsettings.h"
#include "platform/help.h"
#include "platform/settingsstore.h"
#include "print/prevprinter.h"

// Resources of a static library are registered by hand.
static void InitAppResources() { Q_INIT_RESOURCE(resources); }

namespace tessaria {

TfrmTessaria* frmTessaria = nullptr;
int ThumbSize = 0;

namespace {

constexpr int HelpContextGeneral = 10;

// A gap in the tool bar of a given width with an etched line in its middle.
class TToolSeparator : public QWidget {
public:
    explicit TToolSeparator(int width, QWidget* parent) : QWidget(parent) { setFixedWidth(width); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const int x = width() / 2 - 1;
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(x, 2, x, height() - 3);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(x + 1, 2, x + 1, height() - 3);
    }
};

} // namespace

TfrmTessaria::TfrmTessaria(QWidget* parent) : QMainWindow(parent)
{
    InitAppResources();
    frmTessaria = this;
    setObjectName("frmTessaria");
    setWindowTitle("Tessaria by Corvanel Software");
    setFont(QFont("MS Sans Serif", 8));
    resize(698, 518);
    CreateComponents();

    // The per-form entry is applied while the design is loaded, before the
    // creation steps; step 9 then decides the bounds.
    FormSettings1 = new TFormSettings(this, "FormSettings1");
    FormSettings1->SetSavePosition(true);
    FormSettings1->SetSaveValues(false);
    FormSettings1->SetLoadValues(false);
    RunCommand([this] { FormSettings1->Loaded(); });

    PP1 = new TPreviewPrinter(this);
    PP1->setObjectName("PP1");
    PP1->SetOrientation(TPrinterOrientation::poPortrait);
    PP1->SetTitle("Tessaria Page");
    PP1->SetUnits(TUnits::unInches);
    // The page setup defaults replace the designed values before anything
    // sizes a page from them.
    RunCommand([this] { PP1->LoadDefaults(); });

    CreateHistory();
    CreateScreenCopies();
    UpdateActions();

    // A failure ends the creation steps where it happens; the window still opens.
    RunCommand([this] { FormCreate(); });
    qApp->installEventFilter(this);
}

TfrmTessaria::~TfrmTessaria()
{
    qApp->removeEventFilter(this);
    // The steps free what only they kept, while the pages are still here.
    History->Stack()->disconnect(this);
    delete History;
    History = nullptr;
    FormDestroy();
    if (frmTessaria == this)
        frmTessaria = nullptr;
}

void TfrmTessaria::CreateComponents()
{
    LoadToolBarGlyphs();
    CreateMenus();
    CreateToolBar();

    auto* central = new QWidget(this);
    central->setObjectName("CentralArea");
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    setCentralWidget(central);

    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    centralLayout->addWidget(Splitter1, 1);

    PnlLeft = new QWidget(Splitter1);
    PnlLeft->setObjectName("PnlLeft");
    auto* leftLayout = new QVBoxLayout(PnlLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    LeftSplitter = new QSplitter(Qt::Vertical, PnlLeft);
    LeftSplitter->setObjectName("PnlLeftSplitters");
    LeftSplitter->setHandleWidth(3);
    LeftSplitter->setChildrenCollapsible(false);
    leftLayout->addWidget(LeftSplitter);

    PnlLeftTop = new QWidget(LeftSplitter);
    PnlLeftTop->setObjectName("PnlLeftTop");
    auto* topLayout = new QVBoxLayout(PnlLeftTop);
    topLayout->setContentsMargins(0, 0, 0, 0);
    TV1 = new TFolderTree(PnlLeftTop);
    TV1->setObjectName("TV1");
    topLayout->addWidget(TV1);

    PnlLeftMiddle = new QWidget(LeftSplitter);
    PnlLeftMiddle->setObjectName("PnlLeftMiddle");
    auto* middleLayout = new QVBoxLayout(PnlLeftMiddle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    LV1 = new TFileListView(PnlLeftMiddle);
    LV1->setObjectName("LV1");
    middleLayout->addWidget(LV1);

    PnlLeftBottom = new QFrame(LeftSplitter);
    PnlLeftBottom->setObjectName("PnlLeftBottom");
    PnlLeftBottom->setFrameShape(QFrame::Box);
    PnlLeftBottom->setLineWidth(1);
    PreImage = new TImage(PnlLeftBottom);
    PreImage->setObjectName("PreImage");
    PreImage->setGeometry(24, 8, 129, 89);
    PnlLeftBottom->installEventFilter(this);

    LeftSplitter->addWidget(PnlLeftTop);
    LeftSplitter->addWidget(PnlLeftMiddle);
    LeftSplitter->addWidget(PnlLeftBottom);
    LeftSplitter->setStretchFactor(0, 0);
    LeftSplitter->setStretchFactor(1, 1);
    LeftSplitter->setStretchFactor(2, 0);
    LeftSplitter->handle(1)->setObjectName("Splitter2");
    LeftSplitter->handle(2)->setObjectName("Splitter4");

    PnlRight = new QWidget(Splitter1);
    PnlRight->setObjectName("PnlRight");
    auto* rightLayout = new QVBoxLayout(PnlRight);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    ScrollBox1 = new QScrollArea(PnlRight);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setWidgetResizable(false);
    ScrollBoxContents = new QWidget;
    ScrollBoxContents->setObjectName("ScrollBoxContents");
    ScrollBoxContents->resize(24 + 241 + 24, 24 + 321 + 24);
    ScrollBox1->setWidget(ScrollBoxContents);
    rightLayout->addWidget(ScrollBox1);

    PnlDropShadow = new TCanvasPanel(ScrollBoxContents);
    PnlDropShadow->setObjectName("PnlDropShadow");
    PnlDropShadow->SetColor(QColor(128, 128, 128));
    PnlDropShadow->SetBevel(false);
    PnlDropShadow->SetShowGrid(false);
    PnlDropShadow->SetGraularity(10);
    PnlDropShadow->setGeometry(24, 24, 241, 321);
    PnlSheet = new TCanvasPanel(ScrollBoxContents);
    PnlSheet->setObjectName("PnlSheet");
    PnlSheet->SetColor(Qt::white);
    PnlSheet->SetBevel(false);
    PnlSheet->hide();

    Splitter1->addWidget(PnlLeft);
    Splitter1->addWidget(PnlRight);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    SetDesignedSplitterSizes(1, 1);

    sb1 = new TStatusBar(central);
    sb1->setObjectName("sb1");
    sb1->AddPanel(160);
    sb1->AddPanel(200);
    sb1->AddPanel(50, TPanelKind::Gauge);
    // The selected box's position and size; a double click types them.
    sb1->AddPanel(260);
    connect(sb1, &TStatusBar::PanelDoubleClicked, this, [this](int panel) {
        if (panel == BoxPositionPanel)
            RunCommand([this] { EditBoxPosition(); });
    });
    centralLayout->addWidget(sb1);

    CreateListPopUp();
    // The pages' pop-up menu: a right click on a page or a box reaches the
    // area that holds the pages.
    PagePopUp1 = new QMenu(this);
    PagePopUp1->setObjectName("PagePopUp1");
    PagePopUp1->addAction(Arrange1);
    ScrollBoxContents->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ScrollBoxContents, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PagePopUp1->popup(ScrollBoxContents->mapToGlobal(at)); });
    ConnectBrowsing();

    connect(TV1, &TFolderTree::Change, this, [this] { RunCommand([this] { TV1Change(); }); });
    connect(TV1, &TFolderTree::ContentsChanged, this, [this] { RunCommand([this] { TV1ContentsChanged(); }); });
    connect(PreImage, &TImage::MouseDown, this, [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) {
        RunCommand([&] { PreImageMouseDown(b, m, p); });
    });
    connect(PreImage, &TImage::DoubleClicked, this, [this] { RunCommand([this] { ViewImage1Click(); }); });

    OpenDialog1.Title = "Open";
    SaveDialog1.Title = "Save As";
}

void TfrmTessaria::LoadToolBarGlyphs()
{
    tbImages = LoadToolBarGlyphStrip();
    tbImages2x = LoadToolBarGlyphStrip2x();
}

namespace {
QAction* NamedAction(QObject* owner, const QString& name, const QString& caption)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    return action;
}
} // namespace

// A menu item's or button's command, run inside the one error box; with a
// step name it is one undoable step. Handlers that take the action learn
// which item ran them.
template <class Handler>
void TfrmTessaria::ConnectCommand(QAction* action, Handler handler, const QString& step)
{
    connect(action, &QAction::triggered, this, [this, handler, action, step] {
        RunCommand([this, handler, action, step] {
            auto run = [this, handler, action] {
                if constexpr (std::is_invocable_v<Handler, TfrmTessaria*, QAction*>) {
                    (this->*handler)(action);
                } else {
                    (void)action; // captured for the handlers that take it
                    (this->*handler)();
                }
            };
            if (step.isEmpty())
                run();
            else
                LayoutStep(step, run);
        });
    });
}

void TfrmTessaria::CreateMenus()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName("MainMenu1");

    auto separator = [](QMenu* menu, const QString& name) {
        QAction* s = menu->addSeparator();
        s->setObjectName(name);
        return s;
    };

    QMenu* file = MainMenu1->addMenu("File");
    file->setObjectName("File1");
    New1 = NamedAction(this, "New1", "New");
    file->addAction(New1);
    Open1 = NamedAction(this, "Open1", "Open");
    file->addAction(Open1);
    Save1 = NamedAction(this, "Save1", "Save");
    file->addAction(Save1);
    separator(file, "N1");
    Options1 = NamedAction(this, "Options1", "Options");
    file->addAction(Options1);
    separator(file, "N8");
    Preview1 = NamedAction(this, "Preview1", "Preview");
    Preview1->setProperty("Tag", 0);
    file->addAction(Preview1);
    Print1 = NamedAction(this, "Print1", "Print");
    Print1->setProperty("Tag", 1);
    file->addAction(Print1);
    separator(file, "N4");
    Quit1 = NamedAction(this, "Quit1", "Quit");
    file->addAction(Quit1);

    QMenu* edit = MainMenu1->addMenu("Edit");
    edit->setObjectName("Edit1");
    Undo1 = NamedAction(this, "Undo1", "&Undo");
    Redo1 = NamedAction(this, "Redo1", "&Redo");
    edit->addAction(Undo1);
    edit->addAction(Redo1);
    separator(edit, "N5");
    Cut1 = NamedAction(this, "Cut1", "Cut");
    Copy1 = NamedAction(this, "Copy1", "Copy");
    Paste1 = NamedAction(this, "Paste1", "Paste");
    edit->addAction(Cut1);
    edit->addAction(Copy1);
    edit->addAction(Paste1);
    separator(edit, "N9");
    Arrange1 = NamedAction(this, "Arrange1", "Arrange...");
    edit->addAction(Arrange1);

    Bookmarks1 = MainMenu1->addMenu("Bookmarks");
    Bookmarks1->setObjectName("Bookmarks1");
    AddBookmark1 = NamedAction(this, "AddBookmark1", "Add Bookmark");
    EditBookmarks1 = NamedAction(this, "EditBookmarks1", "Edit Bookmarks");
    Bookmarks1->addAction(AddBookmark1);
    Bookmarks1->addAction(EditBookmarks1);
    N6 = separator(Bookmarks1, "N6");

    QMenu* help = MainMenu1->addMenu("Help");
    help->setObjectName("Help1");
    HelponTessaria1 = NamedAction(this, "HelponTessaria1", "Help on Tessaria");
    HelpIndex1 = NamedAction(this, "HelpIndex1", "Help Index");
    About1 = NamedAction(this, "About1", "About");
    help->addAction(HelponTessaria1);
    help->addAction(HelpIndex1);
    separator(help, "N7");
    help->addAction(About1);

    New1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Print1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    Cut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    Copy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    Paste1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));

    ConnectCommand(New1, &TfrmTessaria::New1Click);
    ConnectCommand(Open1, &TfrmTessaria::Open1Click);
    ConnectCommand(Save1, &TfrmTessaria::NewSaveRoutine);
    ConnectCommand(Options1, &TfrmTessaria::tbPropertiesClick);
    ConnectCommand(Preview1, &TfrmTessaria::Print1Click);
    ConnectCommand(Print1, &TfrmTessaria::Print1Click);
    ConnectCommand(Quit1, &TfrmTessaria::Quit1Click);
    ConnectCommand(Undo1, &TfrmTessaria::Undo1Click);
    ConnectCommand(Redo1, &TfrmTessaria::Redo1Click);
    ConnectCommand(Cut1, &TfrmTessaria::Cut1Click, "Cut");
    ConnectCommand(Copy1, &TfrmTessaria::Cut1Click);
    ConnectCommand(Paste1, &TfrmTessaria::Paste1Click, "Paste");
    ConnectCommand(Arrange1, &TfrmTessaria::Arrange1Click); // records its own step
    ConnectCommand(AddBookmark1, &TfrmTessaria::AddBookmark1Click);
    ConnectCommand(EditBookmarks1, &TfrmTessaria::EditBookmarks1Click);
    ConnectCommand(HelponTessaria1, &TfrmTessaria::HelponTessaria1Click);
    ConnectCommand(HelpIndex1, &TfrmTessaria::HelpIndex1Click);
    ConnectCommand(About1, &TfrmTessaria::About1Click);
}

QAction* TfrmTessaria::AddToolButton(const QString& name, int glyph, const QString& hint)
{
    auto* action = new QAction(this);
    action->setObjectName(name);
    action->setProperty("Glyph", glyph);
    if (glyph >= 0 && glyph < tbImages.size())
        action->setIcon(ToolBarIcon(tbImages[glyph], glyph < tbImages2x.size() ? tbImages2x[glyph] : QPixmap()));
    action->setText(hint);
    action->setToolTip(hint);
    ToolBar1->addAction(action);
    if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(action))) {
        button->setObjectName(name + "Button");
        button->setFixedWidth(25);
        button->setAutoRaise(true);
    }
    return action;
}

void TfrmTessaria::AddToolSeparator(int width)
{
    auto* gap = new TToolSeparator(width, ToolBar1);
    ToolBar1->addWidget(gap);
}

void TfrmTessaria::CreateToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setFixedHeight(30);
    ToolBar1->setContentsMargins(1, 1, 1, 1);
    ToolBar1->setStyleSheet("QToolBar { border-top: 1px solid palette(dark); border-bottom: 1px solid palette(dark); spacing: 0px; }");
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    AddToolSeparator(8);
    tbNewFile = AddToolButton("tbNewFile", 10, "New File");
    tbOpenFile = AddToolButton("tbOpenFile", 9, "Open File");
    tbSaveFile = AddToolButton("tbSaveFile", 11, "Save File");
    AddToolSeparator(8);
    tbPageSetup = AddToolButton("tbPageSetup", 1, "Page Setup");
    tbProperties = AddToolButton("tbProperties", 2, "Options");
    tbShowGrid = AddToolButton("tbShowGrid", 8, "Show Grid");
    tbAlign = AddToolButton("tbAlign", 3, "Auto Align");
    tbSearch = AddToolButton("tbSearch", 13, QString());
    AddToolSeparator(8);
    tbPreview = AddToolButton("tbPreview", 0, "Preview");
    tbPreview->setProperty("Tag", 0);
    tbPrint = AddToolButton("tbPrint", 12, "Print");
    tbPrint->setProperty("Tag", 1);
    AddToolSeparator(8);
    tbRotateLeft = AddToolButton("tbRotateLeft", 4, "Rotate CCW");
    tbRotateRight = AddToolButton("tbRotateRight", 5, "Rotate CW");
    AddToolSeparator(8);
    tbAddText = AddToolButton("tbAddText", 15, "Add Text");
    tbAlignLeft = AddToolButton("tbAlignLeft", 16, "Align Left");
    tbAlignLeft->setProperty("Tag", 0);
    tbAlignCenter = AddToolButton("tbAlignCenter", 17, "Align Center");
    tbAlignCenter->setProperty("Tag", 1);
    tbAlignRight = AddToolButton("tbAlignRight", 18, "Align Right");
    tbAlignRight->setProperty("Tag", 2);
    AddToolSeparator(8);
    tbNewPage = AddToolButton("tbNewPage", 6, "Add New Page");
    tbDeleteCurrentPage = AddToolButton("tbDeleteCurrentPage", 7, "Delete Current Page");
    AddToolSeparator(16);

    txtPage = new QLineEdit("0", ToolBar1);
    txtPage->setObjectName("txtPage");
    txtPage->setReadOnly(true);
    txtPage->setFixedWidth(25);
    txtPage->setAlignment(Qt::AlignRight);
    ToolBar1->addWidget(txtPage);
    CanvasPageNumber = new TUpDown(ToolBar1);
    CanvasPageNumber->setObjectName("CanvasPageNumber");
    CanvasPageNumber->setToolTip("Current Page Number");
    CanvasPageNumber->SetMin(1);
    CanvasPageNumber->SetMax(0);
    ToolBar1->addWidget(CanvasPageNumber);
    // The edit keeps its designed "0" until the first page exists.
    CanvasPageNumber->SetAssociate(txtPage);
    connect(CanvasPageNumber, &TUpDown::Click, this, [this] { RunCommand([this] { CanvasPageNumberClick(); }); });
    txtPageCount = new QLabel(" of 1", ToolBar1);
    txtPageCount->setObjectName("txtPageCount");
    QFont countFont("Arial");
    countFont.setBold(true);
    countFont.setPixelSize(13);
    txtPageCount->setFont(countFont);
    ToolBar1->addWidget(txtPageCount);
    AddToolSeparator(8);
    CreateZoomControls();
    AddToolSeparator(23);
    ToolButton5 = AddToolButton("ToolButton5", 14, "Help");

    ConnectCommand(tbNewFile, &TfrmTessaria::New1Click);
    ConnectCommand(tbOpenFile, &TfrmTessaria::Open1Click);
    ConnectCommand(tbSaveFile, &TfrmTessaria::NewSaveRoutine);
    ConnectCommand(tbPageSetup, &TfrmTessaria::tbPageSetupClick);
    ConnectCommand(tbProperties, &TfrmTessaria::tbPropertiesClick);
    ConnectCommand(tbShowGrid, &TfrmTessaria::tbShowGridClick);
    ConnectCommand(tbAlign, &TfrmTessaria::tbAlignClick, "Auto Align");
    ConnectCommand(tbSearch, &TfrmTessaria::tbSearchClick);
    ConnectCommand(tbPreview, &TfrmTessaria::Print1Click);
    ConnectCommand(tbPrint, &TfrmTessaria::tbPrintClick);
    ConnectCommand(tbRotateLeft, &TfrmTessaria::tbRotateLeftClick, "Rotate");
    ConnectCommand(tbRotateRight, &TfrmTessaria::tbRotateLeftClick, "Rotate");
    ConnectCommand(tbAddText, &TfrmTessaria::tbAddTextClick, "Add Text");
    ConnectCommand(tbAlignLeft, &TfrmTessaria::tbAlignLeftClick, "Align Text");
    ConnectCommand(tbAlignCenter, &TfrmTessaria::tbAlignLeftClick, "Align Text");
    ConnectCommand(tbAlignRight, &TfrmTessaria::tbAlignLeftClick, "Align Text");
    ConnectCommand(tbNewPage, &TfrmTessaria::tbNewPageClick, "Add Page");
    ConnectCommand(tbDeleteCurrentPage, &TfrmTessaria::tbDeleteCurrentPageClick, "Delete Page");
    ConnectCommand(ToolButton5, &TfrmTessaria::ToolButton5Click);
}

void TfrmTessaria::CreateListPopUp()
{
    LVPopUp1 = new QMenu(this);
    LVPopUp1->setObjectName("LVPopUp1");
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    ViewFileDetails1 = NamedAction(this, "ViewFileDetails1", "View File Details");
    ViewSmallThumbnails1 = NamedAction(this, "ViewSmallThumbnails1", "View Small Thumbnails");
    for (QAction* radio : {ViewFileDetails1, ViewSmallThumbnails1}) {
        radio->setCheckable(true);
        group->addAction(radio);
        LVPopUp1->addAction(radio);
        connect(radio, &QAction::triggered, this,
                [this, radio] { RunCommand([this, radio] { ViewFileDetails1Click(radio); }); });
    }
    ViewFileDetails1->setChecked(true);
    LVPopUp1->addSeparator()->setObjectName("N3");
    ViewImage1 = NamedAction(this, "ViewImage1", "View Image");
    LVPopUp1->addAction(ViewImage1);
    LVPopUp1->addSeparator()->setObjectName("N2");
    Update1 = NamedAction(this, "Update1", "Refresh List (F5)");
    LVPopUp1->addAction(Update1);
    connect(ViewImage1, &QAction::triggered, this, [this] { RunCommand([this] { ViewImage1Click(); }); });
    connect(Update1, &QAction::triggered, this, [this] { RunCommand([this] { Update1Click(); }); });

    for (QWidget* view : {static_cast<QWidget*>(LV1->Details()), static_cast<QWidget*>(LV1->Icons())}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { LVPopUp1->popup(view->mapToGlobal(at)); });
    }
}

void TfrmTessaria::SetDesignedSplitterSizes(int m, int d)
{
    // Left panel 185 wide; tree 145 and preview 110 high, the list between them.
    Splitter1->setSizes({185 * m / d, (698 - 185 - 3) * m / d});
    LeftSplitter->setSizes({145 * m / d, 200 * m / d, 110 * m / d});
}

void TfrmTessaria::ApplyLargeFontScaling()
{
    ScaleControls(this, 80, 100);
    SetDesignedSplitterSizes(80, 100);
    ScaledForLargeFonts_ = true;
}

void TfrmTessaria::FormCreate()
{
    // 1. The glyphs were cut from TOOLBARBMPS while the tool bar was built.
    // 2. The design is for 96 dpi; on a 120-dpi screen it comes out too large.
    if (ScreenLogicalDpi() == 120)
        ApplyLargeFontScaling();
    // 3. Qt paints every widget double buffered already.
    ThumbSize = 64;
    LastFontSize = 10;
    LastFontName = "Arial";
    LastFontColor = 0;
    LastAlignment = TAlignment::taCenter;
    Bookmarks.clear();
    Pages.clear();
    SetApplicationHelpFile(DataFolder() + "tessaria.hlp");
    DocumentSaved = true;
    SettingsKey = "Software\\Corvanel\\Tessarine";

    // The per-form entry's window state outlives the bounds set here; they
    // become the bounds the window returns to.
    const Qt::WindowStates state = windowState();
    setWindowState(state & ~(Qt::WindowMaximized | Qt::WindowMinimized));
    struct TRestoreState {
        QWidget* Window;
        Qt::WindowStates State;
        ~TRestoreState() { Window->setWindowState(State); }
    } restore{this, state};

    // A stored bound that is no number is reported once the other steps have
    // run, so that it costs neither the file mask nor the bookmarks; that
    // bound keeps its default.
    std::optional<EConvertError> badBound;
    auto bound = [&](const char* name, const char* fallback) {
        const std::string text = ReadSetting(SettingsKey, name, fallback).toStdString();
        try {
            return StrToInt(text);
        } catch (const EConvertError& error) {
            if (!badBound)
                badBound = error;
            return StrToInt(fallback);
        }
    };
    const int left = bound("screenleft", "2");
    const int top = bound("screentop", "2");
    const int width = bound("screenwidth", "690");
    const int height = bound("screenheight", "518");
    const QRect placed = ClipToScreen(QRect(left, top, width, height), ScreenAreaFor(QRect(left, top, width, height)));
    move(placed.topLeft());
    resize(placed.size());

    FileMask = ReadSetting(SettingsKey, "FileMask", "*.jpg;*.bmp;*.tif;*.pcx;*.pcd;*.png;*.webp;*.heic;*.heif;*.avif;");
    AdoptProgramFolderBookmarks();
    BuildBookmarkItems();
    if (badBound)
        throw *badBound;
}

void TfrmTessaria::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        RunCommand([this] { FormShow(); });
}

void TfrmTessaria::FormShow()
{
    SortAscending = true;
    LV1->SetViewStyle(TViewStyle::vsReport);
    // A first start (or a stored empty folder) opens the user's pictures; a
    // folder gone since opens its nearest existing parent.
    const QString last = ReadSetting(SettingsKey, "LastFolder", QString());
    TV1->SetDirectory(last.isEmpty() ? FirstStartFolder() : last);
    ViewerWidth = 480;
    ViewerHeight = 480;
    if (QWidget* viewer = ViewerForm()) {
        ViewerWidth = viewer->width();
        ViewerHeight = viewer->height();
    }
    tbNewPageClick();
    ReadStoredZoom();
    ReadStoredTurnOption(frmLorvaneOptions);
}

void TfrmTessaria::ReadStoredTurnOption(TfrmLorvaneOptions* options)
{
    if (options)
        options->cbTurnByOrientation->setChecked(ReadSetting(SettingsKey, "TurnByOrientation", "1") != "0");
}

void TfrmTessaria::closeEvent(QCloseEvent* event)
{
    if (!Closed_) {
        bool close = false;
        RunCommand([&] { close = CloseQuery(); });
        if (!close) {
            event->ignore();
            return;
        }
        RunCommand([this] { FormClose(); });
        Closed_ = true;
    }
    event->accept();
    QMainWindow::closeEvent(event);
    if (MainForm_)
        QCoreApplication::quit();
}

void TfrmTessaria::FormClose()
{
    Bookmarks.clear();
    WriteSetting(SettingsKey, "screenleft", QString::number(x()));
    WriteSetting(SettingsKey, "screentop", QString::number(y()));
    WriteSetting(SettingsKey, "screenwidth", QString::number(width()));
    WriteSetting(SettingsKey, "screenheight", QString::number(height()));
    WriteSetting(SettingsKey, "FileMask", FileMask);
    // Never an empty or vanished folder: the next start would show nothing.
    const QString folder = TV1->Directory();
    if (!folder.isEmpty())
        WriteSetting(SettingsKey, "LastFolder", NearestExistingFolder(folder));
    if (frmLorvaneOptions)
        WriteSetting(SettingsKey, "TurnByOrientation", frmLorvaneOptions->cbTurnByOrientation->isChecked() ? "1" : "0");
}

void TfrmTessaria::FormDestroy()
{
    for (TCanvasPanel* page : Pages)
        delete page;
    Pages.clear();
    CurrentPage = nullptr;
}

bool TfrmTessaria::IsKeyForThisWindow(QObject* watched) const
{
    // Key events climb from the focused control to its parents; the window
    // sees each key once, when it reaches the focused control.
    QWidget* focus = QApplication::focusWidget();
    if (focus)
        return watched == focus && focus->window() == this;
    return watched == this;
}

bool TfrmTessaria::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (IsKeyForThisWindow(watched)) {
            auto* key = static_cast<QKeyEvent*>(event);
            bool moved = false;
            RunCommand([&] { moved = ArrowKeyMove(key->key(), key->modifiers()); });
            if (moved)
                return true; // the box took the arrow key, the scroll box does not scroll
            RunCommand([&] { FormKeyDown(key->key(), key->modifiers()); });
        }
        break;
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && IsKeyForThisWindow(watched))
            RunCommand([&] { FormKeyUp(key->key(), key->modifiers()); });
        break;
    }
    case QEvent::Resize:
        if (watched == PnlLeftBottom)
            RunCommand([this] { PnlLeftBottomResize(); });
        if (watched == ScrollBox1 && ZoomMode != TZoomMode::Factor)
            RunCommand([this] { LayoutView(); }); // a fitting zoom follows the window
        break;
    case QEvent::Wheel:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && ScrollBox1->isAncestorOf(widget)) {
            bool zoomed = false;
            RunCommand([&] { zoomed = ZoomWheel(static_cast<QWheelEvent*>(event)); });
            if (zoomed)
                return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == PnlLeftBottom)
            RunCommand([this] { ViewImage1Click(); });
        break;
    default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmTessaria::FormKeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_F1) {
        HelpCommand(HelpCommandContents, 0);
        return true;
    }
    if (key == Qt::Key_F3) {
        tbSearchClick();
        return true;
    }
    if (key == Qt::Key_F5) {
        Update1Click();
        return true;
    }
    return false;
}

bool TfrmTessaria::FormKeyUp(int key, Qt::KeyboardModifiers)
{
    if (key != Qt::Key_Delete)
        return false;
    LayoutStep("Delete", [this] { DeleteSelectedBox(); });
    return true;
}

void TfrmTessaria::Quit1Click() { close(); }

void TfrmTessaria::HelponTessaria1Click() { HelpContext(HelpContextGeneral); }

void TfrmTessaria::HelpIndex1Click() { HelpCommand(HelpCommandFinder, 0); }

void TfrmTessaria::ToolButton5Click() { HelpContext(HelpContextGeneral); }

void TfrmTessaria::About1Click()
{
    if (TFrmAbout* about = AboutForm())
        Dialogs().ExecModal(*about);
}

} // namespace tessaria
