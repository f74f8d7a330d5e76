#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/appfixture.h"
#include "controls/statusbar.h"
#include "controls/updown.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

// Little-endian bytes of a document, field by field.
struct TBytes {
    std::vector<uint8_t> b;
    TBytes& I32(int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        return *this;
    }
    TBytes& Str(const std::string& s)
    {
        I32(int32_t(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    TBytes& Text(const std::string& s)
    {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    TBytes& Pad()
    {
        b.insert(b.end(), 1024, 0);
        return *this;
    }
};

std::string Field(int v, int width)
{
    std::string s = std::to_string(v);
    return std::string(size_t(width) - s.size(), ' ') + s;
}

class Documents : public AppTest {
protected:
    QString MakePicture(const std::string& name, int w, int h, QColor colour = Qt::red)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(colour);
        const QString path = QString::fromStdString(Folder.File(name));
        EXPECT_TRUE(img.save(path, "BMP"));
        return path;
    }
    TRectBox* PictureBox(TfrmTessaria& w, const QString& path, QRect at)
    {
        TRectBox* box = w.CreateBox(w.CurrentPage, TfrmTessaria::bhAll);
        box->setGeometry(at);
        box->SetFileName(path);
        box->SetCanvasPPI(w.LayoutPPI);
        box->show();
        return box;
    }
    void SaveAs(TfrmTessaria& w, const QString& path)
    {
        Dialogs->FileNames = {path};
        w.Save1->trigger();
    }
    void Open(TfrmTessaria& w, const QString& path)
    {
        Dialogs->FileNames = {path};
        w.Open1->trigger();
    }
    QString DocPath(const std::string& name) { return QString::fromStdString(Folder.File(name)); }
    TempDir Folder;
};

} // namespace

TEST_F(Documents, ALayoutWithoutBoxesIsNotSaved)
{
    TfrmTessaria& w = ShowWindow();
    w.tbNewPage->trigger();
    w.Save1->trigger();
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Message), QStringList{"There are no images to save!"});
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::SaveFile).isEmpty());
    EXPECT_TRUE(w.DocumentSaved);
}

TEST_F(Documents, CancellingTheSaveDialogLeavesTheLayoutUnsaved)
{
    TfrmTessaria& w = ShowWindow();
    PictureBox(w, MakePicture("a.bmp", 40, 30), QRect(1, 2, 40, 30));
    Dialogs->FileNames = {""};
    w.tbSaveFile->trigger();
    EXPECT_FALSE(w.DocumentSaved);
    ASSERT_EQ(Dialogs->FileSpecs.size(), 1u);
    EXPECT_EQ(Dialogs->FileSpecs[0].DefaultExt, "tsd");
    EXPECT_EQ(Dialogs->FileSpecs[0].FileName, "*.tsd");
    EXPECT_EQ(Dialogs->FileSpecs[0].Filter, "Tessaria file|*.tsd");
    EXPECT_TRUE(Dialogs->FileSpecs[0].OverwritePrompt);
}

TEST_F(Documents, SaveAndOpenKeepTheWholeLayout)
{
    TfrmTessaria& w = ShowWindow();
    const QString wide = MakePicture("wide.bmp", 400, 100, Qt::blue);
    const QString tall = MakePicture("tall.bmp", 100, 300, Qt::green);
    TRectBox* a = PictureBox(w, wide, QRect(-20, -5, 160, 40));
    a->SetRotation(90);
    a->SetFocus(true);
    w.tbAddText->trigger();
    TRectBox* caption = a->LinkChild();
    caption->SetLines({"First line", "Second, with é"});
    QFont f("Times New Roman");
    f.setPointSize(14);
    caption->SetFont(f);
    caption->SetFontColor(QColor(0, 0, 255));
    caption->SetAlignment(TAlignment::taRightJustify);
    w.tbNewPage->trigger(); // page 2 stays empty
    w.tbNewPage->trigger();
    PictureBox(w, tall, QRect(30, 40, 50, 150));
    const int ppi = w.LayoutPPI;
    const QString path = DocPath("layout.tsd");
    SaveAs(w, path);
    EXPECT_TRUE(w.DocumentSaved);
    ASSERT_TRUE(QFileInfo::exists(path));

    w.New1->trigger();
    EXPECT_EQ(w.Pages.size(), 1);
    EXPECT_EQ(w.CountBoxes(), 0);
    Open(w, path);
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Message).isEmpty()) << Dialogs->AllTexts().join("|").toStdString();
    ASSERT_EQ(w.Pages.size(), 3);
    EXPECT_EQ(w.CurrentPage, w.Pages[0]);
    EXPECT_EQ(w.txtPage->text(), "1");
    EXPECT_EQ(w.sb1->PanelText(1), "layout.tsd Loaded");
    EXPECT_EQ(w.CountPageBoxes(w.Pages[1]), 0);
    ASSERT_EQ(w.CountPageBoxes(w.Pages[0]), 2);
    ASSERT_EQ(w.CountPageBoxes(w.Pages[2]), 1);
    TRectBox* a2 = w.PageBoxes(w.Pages[0])[0];
    TRectBox* c2 = w.PageBoxes(w.Pages[0])[1];
    EXPECT_EQ(a2->geometry(), QRect(-20, -5, 160, 40));
    EXPECT_EQ(a2->Rotation(), 90);
    EXPECT_EQ(a2->FileName(), wide);
    EXPECT_EQ(a2->CanvasPPI(), ppi);
    // The reduced copy turned as stored: 196 x 49 turned a quarter.
    EXPECT_EQ(a2->Picture().Width(), 49);
    EXPECT_EQ(a2->Picture().Height(), 196);
    EXPECT_EQ(a2->LinkChild(), c2);
    EXPECT_EQ(c2->LinkParent(), a2);
    EXPECT_EQ(c2->Lines(), (QStringList{"First line", "Second, with é"}));
    EXPECT_EQ(c2->Font().family(), "Times New Roman");
    EXPECT_EQ(c2->Font().pointSize(), 14);
    EXPECT_EQ(c2->FontColor(), QColor(0, 0, 255));
    EXPECT_EQ(c2->Alignment(), TAlignment::taRightJustify);
    EXPECT_TRUE(c2->TextBox());
    EXPECT_FALSE(c2->HidePassiveFrame());
    TRectBox* t2 = w.PageBoxes(w.Pages[2])[0];
    EXPECT_EQ(t2->geometry(), QRect(30, 40, 50, 150));
    EXPECT_NEAR(double(t2->Ratio()), 3.0, 1e-9);
    EXPECT_FALSE(t2->Focus());
    EXPECT_TRUE(w.DocumentSaved);
}

TEST_F(Documents, OlderGenerationsOpenWithTheWarning)
{
    TfrmTessaria& w = ShowWindow();
    const QString pic = MakePicture("p.bmp", 200, 100);
    // Generation 1: fixed-width text fields, picture boxes only.
    TBytes g1;
    g1.Text("1.00").Text(Field(1, 4)).Text(Field(1, 4)).Pad();
    g1.Text(Field(1, 4)).Text(Field(0, 4)).Text(Field(300, 8)).Text(Field(400, 8)).Pad();
    g1.Text(Field(-7, 8)).Text(Field(12, 8)).Text(Field(120, 8)).Text(Field(60, 8)).Text(Field(0, 8));
    g1.Text(pic.toStdString()).Text("\r\n").Pad();
    WriteFile(Folder.File("g1.tsd"), g1.b);
    Open(w, DocPath("g1.tsd"));
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Message),
              QStringList{"This file appears to be an older format. After opening, please re-save it"});
    ASSERT_EQ(w.CountBoxes(), 1);
    EXPECT_EQ(w.Boxes()[0]->geometry(), QRect(-7, 12, 120, 60));
    EXPECT_EQ(w.Boxes()[0]->FileName(), pic);
    EXPECT_EQ(w.CurrentPage->size(), QSize(300, 400));

    // Generation 2: binary, text boxes with fonts, no link tags.
    Dialogs->Clear();
    TBytes g2;
    g2.I32(2).I32(1).I32(2).Pad();
    g2.I32(2).I32(1).I32(400).I32(300).Pad();
    g2.I32(10).I32(10).I32(100).I32(50).I32(0).I32(40).Str("Arial").I32(10).I32(0).I32(1).I32(0).Str(pic.toStdString()).Pad();
    g2.I32(10).I32(60).I32(100).I32(18).I32(0).I32(40).Str("Courier New").I32(12).I32(255).I32(2).I32(1)
        .Str("Hello\r\nWorld\r\n").Pad();
    WriteFile(Folder.File("g2.tsd"), g2.b);
    Open(w, DocPath("g2.tsd"));
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Message),
              QStringList{"This file appears to be an older format. After opening, please re-save it"});
    ASSERT_EQ(w.CountBoxes(), 2);
    EXPECT_EQ(w.LayoutOrientation, 1);
    TRectBox* text = w.Boxes()[1];
    EXPECT_TRUE(text->TextBox());
    EXPECT_EQ(text->Lines(), (QStringList{"Hello", "World"}));
    EXPECT_EQ(text->Font().family(), "Courier New");
    EXPECT_EQ(text->Font().pointSize(), 12);
    EXPECT_EQ(text->FontColor(), QColor(255, 0, 0));
    EXPECT_EQ(text->Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(text->Tag(), 0);
    EXPECT_EQ(text->LinkParent(), nullptr);
    EXPECT_EQ(w.Boxes()[0]->Alignment(), TAlignment::taCenter);
}

TEST_F(Documents, DamagedOrForeignFilesLeaveTheLayoutUntouched)
{
    TfrmTessaria& w = ShowWindow();
    TRectBox* mine = PictureBox(w, MakePicture("a.bmp", 40, 30), QRect(1, 2, 40, 30));
    w.DocumentSaved = true;
    TBytes cut;
    cut.I32(3).I32(1).I32(1).Pad().I32(1).I32(0).I32(300).I32(400).Pad().I32(5).I32(5); // ends inside a box
    TBytes huge;
    huge.I32(3).I32(0x7FFFFFFF).I32(1).Pad();
    WriteFile(Folder.File("cut.tsd"), cut.b);
    WriteFile(Folder.File("huge.tsd"), huge.b);
    WriteFile(Folder.File("text.tsd"), std::string("hello world"));
    for (const char* name : {"cut.tsd", "huge.tsd", "text.tsd"}) {
        Dialogs->Clear();
        Open(w, DocPath(name));
        EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Message),
                  QStringList{"I do not recognize the file as being valid"})
            << name;
        EXPECT_EQ(w.Boxes(), QList<TRectBox*>{mine}) << name;
    }
}

TEST_F(Documents, AHeaderOfNoPagesLeavesOneEmptyPage)
{
    TfrmTessaria& w = ShowWindow();
    w.tbNewPage->trigger();
    TBytes none;
    none.I32(3).I32(0).I32(0).Pad();
    WriteFile(Folder.File("none.tsd"), none.b);
    Open(w, DocPath("none.tsd"));
    EXPECT_EQ(w.Pages.size(), 1);
    EXPECT_EQ(w.CountBoxes(), 0);
    EXPECT_EQ(w.txtPageCount->text(), " of 1");
}

TEST_F(Documents, MissingPicturesKeepTheirBoxesAndAreSavedBackUnchanged)
{
    TfrmTessaria& w = ShowWindow();
    const QString here = MakePicture("here.bmp", 60, 40);
    const QString gone = MakePicture("gone.bmp", 60, 40);
    PictureBox(w, gone, QRect(5, 6, 60, 40));
    PictureBox(w, here, QRect(70, 6, 60, 40));
    SaveAs(w, DocPath("two.tsd"));
    QFile::remove(gone);
    Open(w, DocPath("two.tsd"));
    ASSERT_EQ(w.CountBoxes(), 2);
    EXPECT_FALSE(w.Boxes()[0]->HasPicture());
    EXPECT_EQ(w.Boxes()[0]->FileName(), gone);
    EXPECT_EQ(w.Boxes()[0]->geometry(), QRect(5, 6, 60, 40));
    EXPECT_TRUE(w.Boxes()[1]->HasPicture());
    const QStringList messages = Dialogs->Texts(TScriptedDialogs::TKind::Message);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(gone));
    EXPECT_FALSE(messages[0].contains(here));
    SaveAs(w, DocPath("again.tsd"));
    EXPECT_EQ(ReadFile(Folder.File("again.tsd")), ReadFile(Folder.File("two.tsd")));
}

TEST_F(Documents, AFailedSaveKeepsThePreviousFile)
{
    TfrmTessaria& w = ShowWindow();
    PictureBox(w, MakePicture("a.bmp", 40, 30), QRect(1, 2, 40, 30));
    SaveAs(w, DocPath("keep.tsd"));
    const auto before = ReadFile(Folder.File("keep.tsd"));
    PictureBox(w, MakePicture("b.bmp", 40, 30), QRect(50, 2, 40, 30));
    SaveAs(w, DocPath("no/such/folder/keep.tsd"));
    const QStringList errors = Dialogs->Texts(TScriptedDialogs::TKind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Cannot write the file")) << errors[0].toStdString();
    EXPECT_EQ(ReadFile(Folder.File("keep.tsd")), before);
}

TEST_F(Documents, TheSavePromptIsAskedOnceEvenWhenTheSaveIsCancelled)
{
    TfrmTessaria& w = ShowWindow();
    w.tbNewPage->trigger();
    TRectBox* box = PictureBox(w, MakePicture("a.bmp", 40, 30), QRect(1, 2, 40, 30));
    Q_UNUSED(box);
    w.DocumentSaved = false;
    Dialogs->Answers = {TMsgAnswer::Yes};
    Dialogs->FileNames = {""}; // the save dialog is cancelled
    w.New1->trigger();
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Confirm), QStringList{"Save current document?"});
    EXPECT_EQ(w.CountBoxes(), 0);
    EXPECT_EQ(w.Pages.size(), 1);
    EXPECT_TRUE(w.DocumentSaved);
    // With no boxes left there is nothing to ask.
    w.DocumentSaved = false;
    Dialogs->Clear();
    w.New1->trigger();
    EXPECT_TRUE(Dialogs->Shown.empty());
}
