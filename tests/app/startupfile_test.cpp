#include <QDir>
#include <QImage>

#include "app/appfixture.h"
#include "app/startupfile.h"
#include "browse/filelistview.h"
#include "browse/uview.h"
#include "controls/foldertree.h"
#include "document/documentwriter.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class StartupFile : public AppTest {
protected:
    QString Path(const std::string& name) const { return QString::fromStdString(Files.File(name)); }
    QString Picture(const std::string& name, QColor colour = Qt::blue)
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(Path(name), "BMP"));
        return Path(name);
    }
    // A layout of one picture box, saved under `name`.
    QString Layout(const std::string& name, const QString& picture)
    {
        TDocumentBox box;
        box.Left = 10;
        box.Top = 20;
        box.Width = 80;
        box.Height = 60;
        box.CanvasPPI = 44;
        box.FontName = "Arial";
        box.FontSize = 10;
        box.FileName = picture.toStdString();
        TDocumentPage page;
        page.Width = 330;
        page.Height = 400;
        page.Boxes = {box};
        TDocument document;
        document.Pages = {page};
        SaveDocument(document, Files.File(name));
        return Path(name);
    }
    TempDir Files;
};

} // namespace

TEST_F(StartupFile, ArgumentsAreToldApartByTheFileSystemAndTheExtension)
{
    const QString picture = Picture("photo.bmp");
    Layout("holiday.tsd", picture);
    Layout("HOLIDAY2.TSD", picture);
    Layout("downloaded", picture); // a layout that lost its extension
    WriteFile(Files.File("notes.xyz"), "text");
    std::filesystem::create_directories(Files.Path() / "sub");
    struct Case { const char* name; TStartupArgument expected; };
    const Case cases[] = {
        {"holiday.tsd", TStartupArgument::Layout},  {"HOLIDAY2.TSD", TStartupArgument::Layout},
        {"downloaded", TStartupArgument::Layout},   {"notes.xyz", TStartupArgument::Layout},
        {"photo.bmp", TStartupArgument::Picture},   {"sub", TStartupArgument::Folder},
        {"nothing.jpg", TStartupArgument::Missing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyStartupArgument(Path(c.name)), c.expected) << c.name;
    EXPECT_EQ(ClassifyStartupArgument(""), TStartupArgument::Missing);
}

TEST_F(StartupFile, ALayoutOpensWithItsPicturesEvenWithoutItsExtension)
{
    const QString layout = Layout("downloaded", Picture("photo.bmp"));
    TfrmTessaria& w = ShowWindow();
    OpenStartupArgument(w, layout);
    EXPECT_EQ(w.CountBoxes(), 1);
    EXPECT_EQ(QDir(w.TV1->Directory()), QDir(Path("")));
    EXPECT_EQ(w.LV1->Model()->Count(), 1); // the picture beside it
    EXPECT_TRUE(w.DocumentSaved);
    EXPECT_TRUE(Dialogs->Shown.empty()) << Dialogs->AllTexts().join("|").toStdString();
}

TEST_F(StartupFile, APictureIsShownSelectedInItsFolder)
{
    Picture("a.bmp", Qt::red);
    const QString picture = Picture("b.bmp");
    TfrmTessaria& w = ShowWindow();
    OpenStartupArgument(w, picture);
    EXPECT_EQ(QDir(w.TV1->Directory()), QDir(Path("")));
    EXPECT_EQ(QFileInfo(w.PreviewFile), QFileInfo(picture));
    ASSERT_NE(frmView, nullptr);
    EXPECT_FALSE(frmView->isVisible());
    EXPECT_TRUE(Dialogs->Shown.empty()) << Dialogs->AllTexts().join("|").toStdString();
}

TEST_F(StartupFile, APictureTheFileMaskHidesIsShownInTheViewer)
{
    // The default mask lists no .dib files.
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(Path("c.bmp"), "BMP"));
    std::filesystem::rename(Files.File("c.bmp"), Files.File("c.dib"));
    TfrmTessaria& w = ShowWindow();
    OpenStartupArgument(w, Path("c.dib"));
    EXPECT_EQ(QDir(w.TV1->Directory()), QDir(Path("")));
    ASSERT_NE(frmView, nullptr);
    EXPECT_TRUE(frmView->isVisible());
    frmView->hide();
}

TEST_F(StartupFile, AFolderIsShownAndAMissingPathIsNamedInAMessage)
{
    std::filesystem::create_directories(Files.Path() / "sub");
    Picture("sub/x.bmp");
    TfrmTessaria& w = ShowWindow();
    OpenStartupArgument(w, Path("sub"));
    EXPECT_EQ(QDir(w.TV1->Directory()), QDir(Path("sub")));
    EXPECT_EQ(w.LV1->Model()->Count(), 1);

    OpenStartupArgument(w, Path("gone.tsd"));
    EXPECT_EQ(Dialogs->LastText(), "Cannot open " + Path("gone.tsd") + ": there is no such file or folder.");
    EXPECT_EQ(QDir(w.TV1->Directory()), QDir(Path("sub")));
}
