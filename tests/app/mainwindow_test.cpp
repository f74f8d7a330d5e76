#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "app/appfixture.h"
#include "browse/filelistview.h"
#include "browse/bookmarkfile.h"
#include "browse/filelistmodel.h"
#include "controls/foldermodel.h"
#include "controls/foldertree.h"
#include "platform/screenarea.h"
#include <QStandardPaths>
#include "controls/statusbar.h"
#include "layout/ulorvaneoptions.h"
#include "platform/application.h"
#include "platform/help.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

QStringList ActionNames(const QList<QAction*>& actions)
{
    QStringList names;
    for (QAction* a : actions)
        names << (a->isSeparator() ? "-" + a->objectName() : a->objectName() + "=" + a->text());
    return names;
}

} // namespace

using MainWindow = AppTest;

TEST_F(MainWindow, FirstStartWithAnEmptyStoreUsesTheDefaults)
{
    TfrmTessaria& w = ShowWindow();
    EXPECT_EQ(w.x(), 2);
    EXPECT_EQ(w.y(), 2);
    EXPECT_EQ(w.width(), 690);
    EXPECT_EQ(w.height(), 518);
    EXPECT_EQ(w.FileMask, "*.jpg;*.bmp;*.tif;*.pcx;*.pcd;*.png;*.webp;*.heic;*.heif;*.avif;");
    EXPECT_EQ(w.SettingsKey, "Software\\Corvanel\\Tessarine");
    EXPECT_TRUE(w.DocumentSaved);
    EXPECT_EQ(w.LastFontName, "Arial");
    EXPECT_EQ(w.LastFontSize, 10);
    EXPECT_EQ(w.LastAlignment, TAlignment::taCenter);
    EXPECT_EQ(ApplicationHelpFile(), ProgramFolder() + "tessaria.hlp");
    // The tree shows the user's pictures (home when there is no such folder).
    EXPECT_EQ(w.TV1->Directory(), FirstStartFolder());
    EXPECT_TRUE(w.TV1->Directory() == QDir::homePath() ||
                w.TV1->Directory() == QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    EXPECT_EQ(w.ViewerWidth, 480);
    EXPECT_EQ(w.ViewerHeight, 480);
    EXPECT_TRUE(Dialogs->Shown.empty()) << Dialogs->AllTexts().join("|").toStdString();
}

TEST_F(MainWindow, FirstStartOpensThePicturesFolderAndOtherwiseHome)
{
    // The desktop names the user's pictures folder in user-dirs.dirs.
    const QString pictures = QString::fromStdString(Config.File("My Pictures"));
    QDir().mkpath(pictures);
    WriteFile(Config.File("user-dirs.dirs"), "XDG_PICTURES_DIR=\"" + pictures.toStdString() + "\"\n");
    EXPECT_EQ(ShowWindow().TV1->Directory(), pictures);
    Window.reset();
    QDir(pictures).removeRecursively();
    EXPECT_EQ(ShowWindow().TV1->Directory(), QDir::homePath());
}

TEST_F(MainWindow, StoredBoundsAreClippedToTheScreen)
{
    const QRect area = ScreenAreaFor(QRect(0, 0, 10, 10));
    ASSERT_FALSE(area.isEmpty());
    WriteSetting(Key(), "screenleft", "-3000");
    WriteSetting(Key(), "screentop", "40");
    WriteSetting(Key(), "screenwidth", QString::number(area.width() + 500));
    WriteSetting(Key(), "screenheight", "300");
    WriteSetting(Key(), "FileMask", "*.gif;");
    TfrmTessaria& w = CreateWindow();
    EXPECT_EQ(w.geometry().size(), QSize(area.width(), 300));
    EXPECT_EQ(w.pos(), QPoint(area.left(), 40));
    EXPECT_EQ(w.FileMask, "*.gif;");
}

TEST(ScreenArea, BoundsAreMovedAndShrunkIntoTheArea)
{
    const QRect area(0, 0, 1280, 800); // as a 2560 x 1600 display at scale 2 gives it
    struct TCase {
        const char* Name;
        QRect Bounds, Want;
    } cases[] = {
        {"inside stays", {2, 2, 690, 518}, {2, 2, 690, 518}},
        {"off to the left", {-3000, 40, 800, 600}, {0, 40, 800, 600}},
        {"off to the right and below", {2400, 1500, 690, 518}, {590, 282, 690, 518}},
        {"larger than the screen", {100, 100, 2560, 1600}, {0, 0, 1280, 800}},
        {"a second screen's place", {1500, 10, 690, 518}, {590, 10, 690, 518}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ClipToScreen(c.Bounds, area), c.Want) << c.Name;
    EXPECT_EQ(ClipToScreen({5, 5, 10, 10}, QRect()), QRect(5, 5, 10, 10)); // no screen known
    EXPECT_EQ(ClipToScreen({-50, -50, 100, 100}, {-1280, 0, 1280, 1024}), QRect(-100, 0, 100, 100)); // a screen on the left
}

TEST_F(MainWindow, NonNumericBoundIsReportedAndKeepsTheFileMaskAndBookmarks)
{
    const TempDir data;
    SetBookmarkFilePath(QString::fromStdString(data.File("bookmrks.dat")));
    WriteFile(data.File("bookmrks.dat"), "/tmp/\r\n");
    WriteSetting(Key(), "screenleft", "10");
    WriteSetting(Key(), "screentop", "abc");
    WriteSetting(Key(), "screenwidth", "x700");
    WriteSetting(Key(), "FileMask", "*.gif;");
    TfrmTessaria& w = ShowWindow();
    SetBookmarkFilePath(QString());
    // The first bad value is reported; each bad value keeps its default.
    ASSERT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error), QStringList{"'abc' is not a valid integer value"});
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.x(), 10);
    EXPECT_EQ(w.y(), 2);
    EXPECT_EQ(w.width(), 690);
    EXPECT_EQ(w.FileMask, "*.gif;"); // before, it was lost and written back empty
    EXPECT_EQ(w.Bookmarks, QStringList{"/tmp/"});
    w.close();
    EXPECT_EQ(ReadSetting(Key(), "FileMask", "?"), "*.gif;");
}

TEST_F(MainWindow, ClosingWritesTheSixValues)
{
    TfrmTessaria& w = ShowWindow();
    w.move(30, 40);
    w.resize(700, 500);
    w.FileMask = "*.png;";
    const QString folder = QString::fromStdString(Config.Path().string());
    w.TV1->SetDirectory(folder);
    w.close();
    EXPECT_EQ(ReadSetting(Key(), "screenleft", "?"), "30");
    EXPECT_EQ(ReadSetting(Key(), "screentop", "?"), "40");
    EXPECT_EQ(ReadSetting(Key(), "screenwidth", "?"), "700");
    EXPECT_EQ(ReadSetting(Key(), "screenheight", "?"), "500");
    EXPECT_EQ(ReadSetting(Key(), "FileMask", "?"), "*.png;");
    EXPECT_EQ(ReadSetting(Key(), "LastFolder", "?"), folder);
    EXPECT_TRUE(w.Bookmarks.isEmpty());
}

TEST_F(MainWindow, AnEmptyOrMissingLastFolderOpensItsNearestExistingPlaceAndIsNeverStoredEmpty)
{
    // An empty folder stored by an older version: the first-start folder.
    WriteSetting(Key(), "LastFolder", "");
    TfrmTessaria& w = ShowWindow();
    EXPECT_EQ(w.TV1->Directory(), FirstStartFolder());
    w.TV1->SetDirectory(QString()); // asks for nothing: the folder stays
    w.close();
    EXPECT_EQ(ReadSetting(Key(), "LastFolder", "default"), FirstStartFolder());

    // A stored folder deleted since: its nearest existing parent, list filled.
    const TempDir files;
    const QString root = QString::fromStdString(files.Path().string());
    WriteFile(files.File("here.jpg"), "x");
    WriteSetting(Key(), "LastFolder", root + "/gone/deeper");
    TfrmTessaria& again = ShowWindow();
    again.FileMask = "*.jpg;";
    EXPECT_EQ(again.TV1->Directory(), root);
    again.Update1Click();
    EXPECT_EQ(again.LV1->Model()->Count(), 1);
    again.close();
    EXPECT_EQ(ReadSetting(Key(), "LastFolder", "?"), root);
}

TEST_F(MainWindow, AMaximisedWindowWritesItsMaximisedBounds)
{
    TfrmTessaria& w = ShowWindow();
    w.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.width() > 690; }, 2000));
    const QRect maximised = w.geometry();
    w.close();
    EXPECT_EQ(ReadSetting(Key(), "screenwidth", "?"), QString::number(maximised.width()));
    EXPECT_EQ(ReadSetting(Key(), "screenheight", "?"), QString::number(maximised.height()));
    EXPECT_EQ(ReadSetting(Key(), "screenleft", "?"), QString::number(w.x()));
}

TEST_F(MainWindow, PerFormWindowStateIsTheOnlyEffectOfItsEntry)
{
    const QString formKey = "Software\\Tessaria\\frmTessaria\\Position";
    WriteSetting(formKey, "Left", "300");
    WriteSetting(formKey, "Width", "900");
    WriteSetting(formKey, "WindowState", "maximized");
    TfrmTessaria& w = CreateWindow();
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    w.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(w.x(), 2);
    EXPECT_EQ(w.width(), 690);
}

TEST_F(MainWindow, MenusHaveEveryItemInOrder)
{
    TfrmTessaria& w = CreateWindow();
    const QList<QAction*> menus = w.MainMenu1->actions();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->text(), "File");
    EXPECT_EQ(menus[1]->text(), "Edit");
    EXPECT_EQ(menus[2]->text(), "Bookmarks");
    EXPECT_EQ(menus[3]->text(), "Help");
    EXPECT_EQ(ActionNames(menus[0]->menu()->actions()),
              (QStringList{"New1=New", "Open1=Open", "Save1=Save", "-N1", "Options1=Options", "-N8",
                           "Preview1=Preview", "Print1=Print", "-N4", "Quit1=Quit"}));
    EXPECT_EQ(ActionNames(menus[1]->menu()->actions()),
              (QStringList{"Undo1=&Undo", "Redo1=&Redo", "-N5", "Cut1=Cut", "Copy1=Copy", "Paste1=Paste", "-N9",
                           "Arrange1=Arrange..."}));
    EXPECT_EQ(ActionNames(menus[2]->menu()->actions()),
              (QStringList{"AddBookmark1=Add Bookmark", "EditBookmarks1=Edit Bookmarks", "-N6"}));
    EXPECT_EQ(ActionNames(menus[3]->menu()->actions()),
              (QStringList{"HelponTessaria1=Help on Tessaria", "HelpIndex1=Help Index", "-N7", "About1=About"}));
    EXPECT_EQ(w.Preview1->property("Tag").toInt(), 0);
    EXPECT_EQ(w.Print1->property("Tag").toInt(), 1);
    EXPECT_EQ(ActionNames(w.LVPopUp1->actions()),
              (QStringList{"ViewFileDetails1=View File Details", "ViewSmallThumbnails1=View Small Thumbnails", "-N3",
                           "ViewImage1=View Image", "-N2", "Update1=Refresh List (F5)"}));
    EXPECT_TRUE(w.ViewFileDetails1->isChecked());
    EXPECT_FALSE(w.ViewSmallThumbnails1->isChecked());
    EXPECT_EQ(ActionNames(w.PagePopUp1->actions()), QStringList{"Arrange1=Arrange..."});
}

TEST_F(MainWindow, ToolBarHasEveryButtonInOrderWithGlyphsAndHints)
{
    TfrmTessaria& w = CreateWindow();
    struct Button { const char* name; int glyph; const char* hint; };
    const Button expected[] = {
        {"tbNewFile", 10, "New File"},        {"tbOpenFile", 9, "Open File"},     {"tbSaveFile", 11, "Save File"},
        {"tbPageSetup", 1, "Page Setup"},     {"tbProperties", 2, "Options"},     {"tbShowGrid", 8, "Show Grid"},
        {"tbAlign", 3, "Auto Align"},         {"tbSearch", 13, ""},               {"tbPreview", 0, "Preview"},
        {"tbPrint", 12, "Print"},             {"tbRotateLeft", 4, "Rotate CCW"},  {"tbRotateRight", 5, "Rotate CW"},
        {"tbAddText", 15, "Add Text"},        {"tbAlignLeft", 16, "Align Left"},  {"tbAlignCenter", 17, "Align Center"},
        {"tbAlignRight", 18, "Align Right"},  {"tbNewPage", 6, "Add New Page"},
        {"tbDeleteCurrentPage", 7, "Delete Current Page"}, {"ToolButton5", 14, "Help"},
    };
    // Walk the tool bar left to right: buttons, separators (by width) and the page counter.
    QStringList layout;
    QList<QWidget*> widgets;
    for (QAction* a : w.ToolBar1->actions())
        widgets << w.ToolBar1->widgetForAction(a);
    size_t next = 0;
    for (QWidget* widget : widgets) {
        if (auto* button = qobject_cast<QToolButton*>(widget)) {
            QAction* a = button->defaultAction();
            ASSERT_LT(next, std::size(expected));
            EXPECT_EQ(a->objectName(), expected[next].name);
            EXPECT_EQ(a->property("Glyph").toInt(), expected[next].glyph) << expected[next].name;
            EXPECT_EQ(a->toolTip(), expected[next].hint);
            EXPECT_FALSE(a->icon().isNull()) << expected[next].name;
            EXPECT_EQ(button->width(), 25);
            layout << "b";
            ++next;
        } else if (widget->objectName().isEmpty()) {
            layout << QString::number(widget->minimumWidth());
        } else {
            layout << widget->objectName();
        }
    }
    EXPECT_EQ(next, std::size(expected));
    EXPECT_EQ(layout.join(" "),
              "8 b b b 8 b b b b b 8 b b 8 b b 8 b b b b 8 b b 16 txtPage CanvasPageNumber txtPageCount 8 cbZoom 23 b");
    EXPECT_EQ(w.tbImages.size(), 19);
    for (const QPixmap& glyph : w.tbImages)
        EXPECT_EQ(glyph.size(), QSize(16, 16));
    // Fuchsia is transparent.
    const QImage first = w.tbImages[0].toImage();
    EXPECT_EQ(qAlpha(first.pixel(15, 0)), 0);
    EXPECT_EQ(w.txtPage->text(), "0");
    EXPECT_TRUE(w.txtPage->isReadOnly());
    EXPECT_EQ(w.txtPageCount->text(), " of 1");
    EXPECT_TRUE(w.txtPageCount->font().bold());
    EXPECT_EQ(w.txtPageCount->font().pixelSize(), 13);
    EXPECT_EQ(w.txtPageCount->font().family(), "Arial");
    EXPECT_EQ(w.tbAlignCenter->property("Tag").toInt(), 1);
}

TEST_F(MainWindow, RegionsAndStatusBar)
{
    TfrmTessaria& w = ShowWindow();
    for (const char* name : {"ToolBar1", "sb1", "PnlLeft", "PnlLeftTop", "TV1", "Splitter2", "PnlLeftMiddle", "LV1",
                             "Splitter4", "PnlLeftBottom", "PreImage", "Splitter1", "PnlRight", "ScrollBox1",
                             "PnlDropShadow"})
        EXPECT_NE(w.findChild<QObject*>(name), nullptr) << name;
    EXPECT_EQ(w.PnlLeft->width(), 185);
    EXPECT_EQ(w.PnlLeftTop->height(), 145);
    EXPECT_EQ(w.PnlLeftBottom->height(), 110);
    EXPECT_EQ(w.Splitter1->handleWidth(), 3);
    EXPECT_EQ(w.TV1->indentation(), 19);
    EXPECT_EQ(w.sb1->height(), 19);
    // The three status panels, then the selected box's position and size.
    ASSERT_EQ(w.sb1->PanelCount(), 4);
    EXPECT_EQ(w.sb1->PanelKind(3), TPanelKind::Text);
    EXPECT_EQ(w.sb1->PanelWidth(0), 160);
    EXPECT_EQ(w.sb1->PanelWidth(1), 200);
    EXPECT_EQ(w.sb1->PanelWidth(2), 50);
    EXPECT_EQ(w.sb1->PanelKind(2), TPanelKind::Gauge);
    w.sb1->SetPanelText(1, "640 X 480");
    w.sb1->SetGaugePosition(150);
    EXPECT_EQ(w.sb1->PanelText(1), "640 X 480");
    EXPECT_EQ(w.sb1->GaugePosition(), 100);
}

TEST_F(MainWindow, LargeFontScreensScaleTheDesignOnce)
{
    SetScreenLogicalDpiOverride(120);
    TfrmTessaria& w = ShowWindow();
    SetScreenLogicalDpiOverride(0);
    EXPECT_TRUE(w.ScaledForLargeFonts());
    EXPECT_EQ(w.PnlLeft->width(), 148);
    EXPECT_EQ(w.PnlLeftBottom->height(), 88);
    // The bounds come from the settings after scaling.
    EXPECT_EQ(w.width(), 690);
}

TEST_F(MainWindow, KeysReachTheWindowBeforeTheFocusedList)
{
    TfrmTessaria& w = ShowWindow();
    SetApplicationHelpFile(ShippedHelpFile());
    w.activateWindow();
    w.LV1->Details()->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), w.LV1->Details());
    THelpWindow::Instance().hide();
    QTest::keyClick(w.LV1->Details(), Qt::Key_F1);
    EXPECT_TRUE(THelpWindow::Instance().isVisible());
    EXPECT_EQ(THelpWindow::Instance().CurrentAnchor(), "contents");
    THelpWindow::Instance().hide();
}

TEST_F(MainWindow, HelpCommandsOpenTheirTopics)
{
    TfrmTessaria& w = ShowWindow();
    SetApplicationHelpFile(ShippedHelpFile());
    w.HelponTessaria1->trigger();
    EXPECT_EQ(THelpWindow::Instance().CurrentAnchor(), "context-10");
    w.HelpIndex1->trigger();
    EXPECT_EQ(THelpWindow::Instance().CurrentAnchor(), "index");
    w.ToolButton5->trigger();
    EXPECT_EQ(THelpWindow::Instance().CurrentAnchor(), "context-10");
    THelpWindow::Instance().hide();
    // A missing help file is a clear message, not a silent nothing.
    SetApplicationHelpFile("/nonexistent/tessaria.hlp");
    w.HelponTessaria1->trigger();
    EXPECT_EQ(Dialogs->LastText(), "Cannot open the help file /nonexistent/tessaria.hlp.");
}

TEST_F(MainWindow, TheLastFolderIsShownInTheTree)
{
    TfrmTessaria& w = ShowWindow();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return w.TV1->viewport()->rect().contains(w.TV1->visualRect(w.TV1->currentIndex()).center()); }, 5000));
}

TEST_F(MainWindow, SettingsThatCannotBeSavedAreToldOnceAndTheProgramGoesOn)
{
    // The config folder cannot be made: a file stands where it belongs.
    WriteFile(Config.File("blocked"), "x");
    setenv("XDG_CONFIG_HOME", Config.File("blocked/config").c_str(), 1);
    TfrmTessaria& w = ShowWindow();
    EXPECT_EQ(w.width(), 690);
    EXPECT_TRUE(Dialogs->Shown.empty());
    w.resize(700, 500);
    w.close();
    const QStringList told = Dialogs->Texts(TScriptedDialogs::TKind::Message);
    ASSERT_EQ(told.size(), 1) << told.join("|").toStdString();
    EXPECT_TRUE(told[0].startsWith("The settings cannot be saved in " + SettingsFilePath() + ": Not a directory."))
        << told[0].toStdString();
    // Later writes in the same run say nothing more.
    TfrmTessaria& again = ShowWindow();
    EXPECT_EQ(again.width(), 690);
    again.close();
    EXPECT_EQ(Dialogs->Shown.size(), 1u);
}

TEST_F(MainWindow, ADamagedSettingsFileIsToldAtStartAndAGoodOneWrittenAtClosing)
{
    QDir().mkpath(QFileInfo(SettingsFilePath()).path());
    // Cut short in a section's name, as a crash while writing leaves it.
    WriteFile(SettingsFilePath().toStdString(), std::string("[Software]\nCorvanel\\Tessarine\\screenwidth=800\n[Sof"));
    TfrmTessaria& w = ShowWindow();
    EXPECT_EQ(w.width(), 690);
    const QStringList told = Dialogs->Texts(TScriptedDialogs::TKind::Message);
    ASSERT_EQ(told.size(), 1) << told.join("|").toStdString();
    EXPECT_TRUE(told[0].startsWith("The settings file " + SettingsFilePath() + " is damaged")) << told[0].toStdString();
    w.resize(700, 500);
    w.close();
    EXPECT_EQ(ReadSetting(Key(), "screenwidth", "?"), "700");
    EXPECT_EQ(Dialogs->Shown.size(), 1u);
}

// "Turn photos by their camera orientation" on the options' Image tab: on
// at the first start, and kept in the settings store across runs.
TEST_F(MainWindow, TheCameraOrientationOptionIsKept)
{
    {
        TfrmTessaria& w = ShowWindow();
        QCheckBox* option = frmLorvaneOptions->findChild<QCheckBox*>("cbTurnByOrientation");
        ASSERT_TRUE(option);
        EXPECT_EQ(option->text(), "Turn photos by their camera orientation");
        EXPECT_EQ(option->parentWidget()->objectName(), "TabImage");
        EXPECT_TRUE(option->isChecked());
        option->setChecked(false);
        w.close();
        EXPECT_EQ(ReadSetting(Key(), "TurnByOrientation", "?"), "0");
    }
    Window.reset();
    DestroyStartupForms();
    ShowWindow();
    EXPECT_FALSE(frmLorvaneOptions->cbTurnByOrientation->isChecked());
    WriteSetting(Key(), "TurnByOrientation", "1");
    Window->FormShow();
    EXPECT_TRUE(frmLorvaneOptions->cbTurnByOrientation->isChecked());
}
