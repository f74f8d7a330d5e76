// The page setup dialog: its controls, filling and storing, fonts, the
// conversion error, Cancel, and Set Default across a restart.
#include "enginetest.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "base/exceptions.h"
#include "platform/fontdialog.h"
#include "platform/formsettings.h"
#include "platform/settingsstore.h"
#include "print/pagesetupdlg.h"
#include "print/prevprinter.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class PageSetupTest : public StandInTest {
protected:
    TPreviewPrinter Engine;
};

template <class T>
T* Find(QWidget& form, const char* name)
{
    return form.findChild<T*>(name);
}

TEST_F(PageSetupTest, ControlsCaptionsAndTags)
{
    TPageSetupForm form(Engine);
    EXPECT_EQ(form.objectName(), "PageSetupForm");
    EXPECT_EQ(form.windowTitle(), "Page Setup");
    struct Radio {
        const char* name;
        const char* caption;
        int tag;
    } radios[] = {
        {"InchBut", "&Inches", 0},     {"CentBut", "&Centimeters", 1}, {"PortBut", "&Portrait", 0},
        {"LandBut", "Land&scape", 1},  {"PageBotBut", "Bottom", 0},    {"PageTopBut", "Top", 1},
        {"PageNoneBut", "None", 2},    {"PageLeftBut", "Left", 0},     {"PageCenterBut", "Center", 2},
        {"PageRightBut", "Right", 1},  {"HdrLeftBut", "Left", 0},      {"HdrCenterBut", "Center", 2},
        {"HdrRightBut", "Right", 1},   {"FtrLeftBut", "Left", 0},      {"FtrCenterBut", "Center", 2},
        {"FtrRightBut", "Right", 1},
    };
    for (const Radio& r : radios) {
        SCOPED_TRACE(r.name);
        auto* b = Find<QRadioButton>(form, r.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), r.caption);
        EXPECT_EQ(b->property("Tag").toInt(), r.tag);
    }
    struct Caption {
        const char* name;
        const char* caption;
    } groups[] = {{"PageMarginGroup", "Page Margins"}, {"PageOrientGroup", "Page Orientation"},
                  {"PageNumGroup", "Page Number Options"}, {"HeaderGroup", "Header Options"},
                  {"FooterGroup", "Footer Options"}};
    for (const Caption& g : groups) {
        ASSERT_NE(Find<QGroupBox>(form, g.name), nullptr) << g.name;
        EXPECT_EQ(Find<QGroupBox>(form, g.name)->title(), g.caption);
    }
    Caption buttons[] = {{"PrinterSetupBut", "Printer &Setup..."}, {"OKBut", "OK"}, {"CancelBut", "Cancel"},
                         {"SetDefaultBut", "Set &Default"}};
    for (const Caption& b : buttons) {
        ASSERT_NE(Find<QPushButton>(form, b.name), nullptr) << b.name;
        EXPECT_EQ(Find<QPushButton>(form, b.name)->text(), b.caption);
    }
    // Edits with the labels that lead to them.
    Caption labelled[] = {{"LeftEdit", "&Left"},         {"RightEdit", "&Right"},
                          {"TopEdit", "&Top"},           {"BotEdit", "&Bottom"},
                          {"HeaderEdit", "&Header"},     {"HdrMarginEdit", "Header &Margin"},
                          {"FooterEdit", "&Footer"},     {"FtrMarginEdit", "Footer &Margin"},
                          {"PageNumEdit", "Page Number Text (%d = Page)"}};
    for (const Caption& e : labelled) {
        SCOPED_TRACE(e.name);
        auto* edit = Find<QLineEdit>(form, e.name);
        ASSERT_NE(edit, nullptr);
        bool found = false;
        for (QLabel* l : form.findChildren<QLabel*>())
            found = found || (l->buddy() == edit && l->text() == e.caption);
        EXPECT_TRUE(found);
    }
    for (const char* name : {"PageNumFontDialog", "HeaderFontDialog", "FooterFontDialog"})
        EXPECT_NE(form.findChild<TFontDialog*>(name), nullptr) << name;
    EXPECT_EQ(form.PortShape->size(), QSize(56, 73));
    EXPECT_EQ(form.LandShape->size(), QSize(73, 56));
}

TEST_F(PageSetupTest, OpeningShowsTheInitialSettings)
{
    TPageSetupForm form(Engine);
    form.FillControls();
    for (QLineEdit* e : {form.LeftEdit, form.RightEdit, form.TopEdit, form.BotEdit, form.HdrMarginEdit})
        EXPECT_EQ(e->text(), "0.500") << e->objectName().toStdString();
    EXPECT_EQ(form.FtrMarginEdit->text(), "0.400");
    EXPECT_TRUE(form.InchBut->isChecked());
    EXPECT_TRUE(form.PortBut->isChecked());
    EXPECT_FALSE(form.PortShape->isHidden());
    EXPECT_TRUE(form.LandShape->isHidden());
    EXPECT_TRUE(form.PageBotBut->isChecked());
    EXPECT_TRUE(form.PageRightBut->isChecked());
    EXPECT_TRUE(form.HdrCenterBut->isChecked());
    EXPECT_TRUE(form.FtrCenterBut->isChecked());
    EXPECT_EQ(form.PageNumEdit->text(), "Page %d");
    EXPECT_EQ(form.HdrFontBut->text(), "Times New Roman 18 pt");
    EXPECT_EQ(form.FtrFontBut->text(), "Arial 6 pt");
    EXPECT_EQ(form.PageNumFontBut->text(), "Arial 6 pt");
}

TEST_F(PageSetupTest, EveryValueFillsAndStoresBack)
{
    TTextOptions& o = *Engine.TextOptions();
    o.SetMarginLeft(1.25);
    o.SetMarginTop(0.75);
    o.SetMarginRight(1234.5);
    o.SetMarginBottom(0.125);
    o.SetHeader("Holiday");
    o.SetFooter("Printed by me");
    o.SetHeaderMargin(0.3);
    o.SetFooterMargin(0.2);
    o.SetHeaderAlign(TAlignment::taLeftJustify);
    o.SetFooterAlign(TAlignment::taRightJustify);
    o.SetPrintPageNumber(TPrintPageNumber::pnTop);
    o.SetPageNumAlign(TAlignment::taCenter);
    o.SetPageNumText("- %d -");
    TPrintFont blue = MakePrintFont("Courier New", 9, true);
    blue.Color = 0xFF0000;
    o.SetPageNumFont(blue);
    Engine.SetUnits(TUnits::unCentimeters);
    Engine.SetOrientation(TPrinterOrientation::poLandscape);
    const TTextOptions before = o;

    TPageSetupForm form(Engine);
    form.FillControls();
    EXPECT_EQ(form.RightEdit->text(), "1,234.500");
    EXPECT_EQ(form.BotEdit->text(), "0.125");
    EXPECT_TRUE(form.CentBut->isChecked());
    EXPECT_TRUE(form.LandBut->isChecked());
    EXPECT_TRUE(form.PortShape->isHidden());
    EXPECT_FALSE(form.LandShape->isHidden());
    EXPECT_TRUE(form.PageTopBut->isChecked());
    EXPECT_TRUE(form.PageCenterBut->isChecked());
    EXPECT_TRUE(form.HdrLeftBut->isChecked());
    EXPECT_TRUE(form.FtrRightBut->isChecked());
    EXPECT_EQ(form.PageNumFontBut->text(), "Courier New 9 pt");

    o = TTextOptions();
    Engine.SetUnits(TUnits::unInches);
    Engine.SetOrientation(TPrinterOrientation::poPortrait);
    form.StoreControls();
    EXPECT_TRUE(o == before);
    EXPECT_EQ(o.PageNumFont().Color, 0xFF0000);
    EXPECT_EQ(Engine.Units(), TUnits::unCentimeters);
    EXPECT_DOUBLE_EQ(Engine.UnitsPerInch(), 2.54);
    EXPECT_EQ(Engine.Orientation(), TPrinterOrientation::poLandscape);
}

TEST_F(PageSetupTest, OkWithoutChangesLeavesEverySetting)
{
    const TTextOptions before = *Engine.TextOptions();
    Dialogs->OnModal = [](QDialog& d) {
        static_cast<TPageSetupForm&>(d).OKBut->click();
        return d.result();
    };
    EXPECT_EQ(Engine.PageSetup(), int(QDialog::Accepted));
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Modal), QStringList({"PageSetupForm"}));
    EXPECT_TRUE(*Engine.TextOptions() == before);
    EXPECT_EQ(Engine.Units(), TUnits::unInches);
    EXPECT_EQ(Engine.Orientation(), TPrinterOrientation::poPortrait);
}

TEST_F(PageSetupTest, CentimetresMakeTheSameNumbersCountInCentimetres)
{
    Dialogs->OnModal = [](QDialog& d) {
        auto& form = static_cast<TPageSetupForm&>(d);
        form.CentBut->click();
        form.OKBut->click();
        return d.result();
    };
    Engine.PageSetup();
    Engine.BeginDoc();
    Engine.EndDoc();
    EXPECT_EQ(Engine.Units(), TUnits::unCentimeters);
    EXPECT_DOUBLE_EQ(Engine.TextOptions()->MarginLeft(), 0.5);
    EXPECT_EQ(Engine.UnitsToPixelsX(Engine.TextOptions()->MarginLeft()), 118); // 0.5 cm at 600 dpi
}

TEST_F(PageSetupTest, ChosenFontsShowOnTheirButtonsAndReachTheOptionsOnlyOnOk)
{
    Dialogs->OnFont = [](QFont& font, QColor& colour) {
        font = QFont("Liberation Serif");
        font.setPointSize(12);
        font.setBold(true);
        colour = QColor(0, 128, 0);
        return true;
    };
    const TTextOptions before = *Engine.TextOptions();
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        Dialogs->OnModal = [ok](QDialog& d) {
            auto& form = static_cast<TPageSetupForm&>(d);
            form.HdrFontBut->click();
            EXPECT_EQ(form.HdrFontBut->text(), "Liberation Serif 12 pt");
            form.PageNumFontBut->click();
            form.HeaderEdit->setText("changed");
            (ok ? form.OKBut : form.CancelBut)->click();
            return d.result();
        };
        EXPECT_EQ(Engine.PageSetup(), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (!ok) {
            EXPECT_TRUE(*Engine.TextOptions() == before);
            continue;
        }
        const TPrintFont& header = Engine.TextOptions()->HeaderFont();
        EXPECT_EQ(header.Font.family(), "Liberation Serif");
        EXPECT_EQ(header.Font.pointSize(), 12);
        EXPECT_TRUE(header.Font.bold());
        EXPECT_EQ(header.Color, TColorFromColor(QColor(0, 128, 0)));
        EXPECT_EQ(Engine.TextOptions()->PageNumFont().Font.family(), "Liberation Serif");
        EXPECT_EQ(Engine.TextOptions()->FooterFont(), before.FooterFont());
        EXPECT_EQ(Engine.TextOptions()->Header(), "changed");
    }
}

TEST_F(PageSetupTest, AMarginThatIsNoNumberStopsTheStoreWhereItIs)
{
    struct Case {
        const char* name;
        QLineEdit* TPageSetupForm::*edit;
        const char* text;
        // What was stored before the bad field.
        bool unitsStored, leftStored, orientationStored, headerStored;
    } cases[] = {
        {"top margin", &TPageSetupForm::TopEdit, "x", true, true, false, false},
        {"left margin", &TPageSetupForm::LeftEdit, "1,5", true, false, false, false},
        {"header margin", &TPageSetupForm::HdrMarginEdit, "", true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPreviewPrinter engine;
        TPageSetupForm form(engine);
        form.FillControls();
        form.CentBut->setChecked(true);
        form.LeftEdit->setText("1");
        form.LandBut->setChecked(true);
        form.HeaderEdit->setText("new header");
        form.HdrLeftBut->setChecked(true);
        (form.*c.edit)->setText(c.text);
        try {
            form.StoreControls();
            ADD_FAILURE() << "no conversion error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + c.text + "' is not a valid floating point value");
        }
        const TTextOptions& o = *engine.TextOptions();
        EXPECT_EQ(engine.Units() == TUnits::unCentimeters, c.unitsStored);
        EXPECT_EQ(o.MarginLeft() == 1.0, c.leftStored);
        EXPECT_EQ(engine.Orientation() == TPrinterOrientation::poLandscape, c.orientationStored);
        EXPECT_EQ(o.Header() == "new header", c.headerStored);
        EXPECT_EQ(o.HeaderAlign(), TAlignment::taCenter); // after every bad field
    }
}

TEST_F(PageSetupTest, OkWithABadMarginShowsTheErrorAndKeepsTheDialogOpen)
{
    Dialogs->OnModal = [](QDialog& d) {
        auto& form = static_cast<TPageSetupForm&>(d);
        form.BotEdit->setText("half");
        form.OKBut->click();
        EXPECT_EQ(d.result(), 0); // still open
        form.BotEdit->setText("0.75");
        form.OKBut->click();
        return d.result();
    };
    EXPECT_EQ(Engine.PageSetup(), int(QDialog::Accepted));
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error),
              QStringList({"'half' is not a valid floating point value"}));
    EXPECT_DOUBLE_EQ(Engine.TextOptions()->MarginBottom(), 0.75);
}

TEST_F(PageSetupTest, SetDefaultSurvivesARestart)
{
    Dialogs->Answers = {TMsgAnswer::Yes};
    Dialogs->OnFont = [](QFont& font, QColor&) {
        font = QFont("Liberation Mono");
        font.setPointSize(14);
        font.setItalic(true);
        return true;
    };
    Dialogs->OnModal = [](QDialog& d) {
        auto& form = static_cast<TPageSetupForm&>(d);
        form.CentBut->click();
        form.LeftEdit->setText("2.5");
        form.FtrMarginEdit->setText("1,000.25");
        form.LandBut->click();
        EXPECT_TRUE(form.PortShape->isHidden());
        EXPECT_FALSE(form.LandShape->isHidden());
        form.PageNoneBut->click();
        form.FtrLeftBut->click();
        form.FooterEdit->setText("my footer");
        form.PageNumEdit->setText("p. %d");
        form.FtrFontBut->click();
        form.SetDefaultBut->click();
        form.CancelBut->click(); // the values were stored as they stood
        return d.result();
    };
    Engine.PageSetup();
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Confirm),
              QStringList({"Are you sure you want to save these values as the Default Settings?"}));
    EXPECT_EQ(Engine.Units(), TUnits::unInches); // Cancel
    EXPECT_TRUE(Engine.TextOptions()->Footer().isEmpty());

    // A restart: a new engine with the designed values, then the defaults.
    TPreviewPrinter restarted;
    restarted.LoadDefaults();
    const TTextOptions& o = *restarted.TextOptions();
    EXPECT_EQ(restarted.Units(), TUnits::unCentimeters);
    EXPECT_EQ(restarted.Orientation(), TPrinterOrientation::poLandscape);
    EXPECT_DOUBLE_EQ(o.MarginLeft(), 2.5);
    EXPECT_DOUBLE_EQ(o.MarginRight(), 0.5);
    EXPECT_DOUBLE_EQ(o.FooterMargin(), 1000.25);
    EXPECT_EQ(o.PrintPageNumber(), TPrintPageNumber::pnNone);
    EXPECT_EQ(o.FooterAlign(), TAlignment::taLeftJustify);
    EXPECT_EQ(o.Footer(), "my footer");
    EXPECT_EQ(o.PageNumText(), "p. %d");
    EXPECT_EQ(o.FooterFont().Font.family(), "Liberation Mono");
    EXPECT_EQ(o.FooterFont().Font.pointSize(), 14);
    EXPECT_TRUE(o.FooterFont().Font.italic());
    EXPECT_EQ(o.HeaderFont(), TTextOptions().HeaderFont());
    // Stored under the dialog's own entry, as text.
    const QString values = "Software\\Tessaria\\PageSetupForm\\Values";
    EXPECT_EQ(ReadSetting(values, "LeftEdit", "?"), "2.5");
    EXPECT_EQ(ReadSetting(values, "CentBut", "?"), "1");
    EXPECT_EQ(ReadSetting(values, "FooterFontDialog_Size", "?"), "14");
    EXPECT_TRUE(SettingExists("Software\\Tessaria\\PageSetupForm\\Position", "WindowState"));
}

TEST_F(PageSetupTest, SetDefaultAnsweredNoOrCancelStoresNothing)
{
    for (TMsgAnswer answer : {TMsgAnswer::No, TMsgAnswer::Cancel}) {
        Dialogs->Answers = {answer};
        TPageSetupForm form(Engine);
        form.FillControls();
        form.LeftEdit->setText("3");
        form.SetDefaultButClick();
        EXPECT_FALSE(form.FormSettings1->SaveValues());
    }
    EXPECT_TRUE(SettingNames("Software\\Tessaria\\PageSetupForm\\Values").isEmpty());
    TPreviewPrinter restarted;
    restarted.LoadDefaults();
    EXPECT_TRUE(*restarted.TextOptions() == TTextOptions());
}

TEST_F(PageSetupTest, AStoredMarginThatIsNoNumberFailsAtStartUp)
{
    WriteSetting("Software\\Tessaria\\PageSetupForm\\Values", "TopEdit", "abc");
    WriteSetting("Software\\Tessaria\\PageSetupForm\\Values", "LeftEdit", "0.75");
    TPreviewPrinter engine;
    EXPECT_THROW(engine.LoadDefaults(), EConvertError);
    EXPECT_DOUBLE_EQ(engine.TextOptions()->MarginLeft(), 0.75);
    EXPECT_DOUBLE_EQ(engine.TextOptions()->MarginTop(), 0.5);
}

TEST_F(PageSetupTest, PrinterSetupRunsThePlatformsDialog)
{
    TPageSetupForm form(Engine);
    form.PrinterSetupBut->click();
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::PrinterSetup).size(), 1);
}

TEST(FormatMargin, ThreeDecimalsWithThousandsSeparators)
{
    struct Case {
        double value;
        const char* text;
    } cases[] = {{0.5, "0.500"},      {0, "0.000"},         {1234.5, "1,234.500"}, {-1234567.25, "-1,234,567.250"},
                 {999.9996, "1,000.000"}, {2.54, "2.540"},  {100, "100.000"},      {-0.4, "-0.400"}};
    for (const Case& c : cases)
        EXPECT_EQ(FormatMargin(c.value), QString(c.text)) << c.value;
}

TEST(MarginFromText, ReadsWhatTheDialogWritesAndNothingElse)
{
    struct Good {
        const char* text;
        double value;
    } good[] = {{"0.500", 0.5}, {"1,234.500", 1234.5}, {"-1,234,567.250", -1234567.25}, {" 2.5 ", 2.5},
                {"3", 3},       {"1e1", 10}};
    for (const Good& g : good)
        EXPECT_DOUBLE_EQ(MarginFromText(g.text), g.value) << g.text;
    for (const char* bad : {"1,5", "12,34.5", ",123", "abc", "", "0,500", "1.2.3"})
        EXPECT_THROW(MarginFromText(bad), EConvertError) << bad;
}

} // namespace
