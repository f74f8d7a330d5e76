#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "base/exceptions.h"
#include "platform/fontdialog.h"
#include "platform/formsettings.h"
#include "platform/settingsstore.h"
#include "support/qtprinters.h"
#include "support/testfiles.h"

using namespace tessaria;

namespace {

// A form with one control of each kind the value scan knows.
struct TestForm : QDialog {
    TestForm()
    {
        setObjectName("PageSetupForm");
        edit = new QLineEdit("0.5", this);
        edit->setObjectName("edMargin");
        memo = new QPlainTextEdit("first\nsecond", this);
        memo->setObjectName("memoHeader");
        check = new QCheckBox(this);
        check->setObjectName("cbLines");
        radio = new QRadioButton(this);
        radio->setObjectName("rbInches");
        list = new QListWidget(this);
        list->setObjectName("lbUnits");
        list->addItems({"a", "b", "c"});
        combo = new QComboBox(this);
        combo->setObjectName("cbPosition");
        combo->addItems({"x", "y", "z"});
        spin = new QSpinBox(this); // its inner edit is no component of the form
        spin->setObjectName("seCopies");
        font = new TFontDialog(this, "FontDialog1");
        QFont f("Arial");
        f.setPointSize(10);
        font->SetFont(f);
        settings = new TFormSettings(this);
        resize(300, 200);
        move(50, 60);
    }
    QLineEdit* edit;
    QPlainTextEdit* memo;
    QCheckBox* check;
    QRadioButton* radio;
    QListWidget* list;
    QComboBox* combo;
    QSpinBox* spin;
    TFontDialog* font;
    TFormSettings* settings;
};

class FormSettings : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", Config.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    test::TempDir Config;
    const QString Values = "Software\\Tessaria\\PageSetupForm\\Values";
    const QString Position = "Software\\Tessaria\\PageSetupForm\\Position";
};

} // namespace

TEST_F(FormSettings, DefaultsAndKeyName)
{
    TestForm form;
    EXPECT_TRUE(form.settings->SavePosition());
    EXPECT_FALSE(form.settings->SaveValues());
    EXPECT_FALSE(form.settings->LoadValues());
    EXPECT_EQ(form.settings->SaveValueOptions(), TFormSettings::AllValueOptions);
    EXPECT_EQ(form.settings->KeyName(), "Software\\Tessaria\\PageSetupForm");
    form.settings->SetKeyName("Software\\Other");
    EXPECT_EQ(form.settings->KeyName(), "Software\\Other");
}

TEST_F(FormSettings, ValuesAndFontsRoundTrip)
{
    {
        TestForm form;
        form.edit->setText("1.250");
        form.memo->setPlainText("Header line 1\nline 2");
        form.check->setChecked(true);
        form.radio->setChecked(true);
        form.list->setCurrentRow(2);
        form.combo->setCurrentIndex(1);
        QFont f("Times New Roman");
        f.setPointSize(14);
        f.setBold(true);
        f.setStrikeOut(true);
        form.font->SetFont(f);
        form.font->SetColor(0x0000FF); // red
        form.settings->SetSaveValues(true);
        form.settings->SaveSettings();
    }
    EXPECT_EQ(ReadSetting(Values, "cbLines", "?"), "1");
    EXPECT_EQ(ReadSetting(Values, "lbUnits", "?"), "2");
    EXPECT_EQ(ReadSetting(Values, "FontDialog1_Name", "?"), "Times New Roman");
    EXPECT_EQ(ReadSetting(Values, "FontDialog1_Size", "?"), "14");
    EXPECT_EQ(ReadSetting(Values, "FontDialog1_Color", "?"), "255");
    EXPECT_EQ(ReadSetting(Values, "FontDialog1_Italic", "?"), "0");
    EXPECT_FALSE(SettingExists(Values, "qt_spinbox_lineedit"));

    TestForm form;
    form.settings->SetLoadValues(true);
    form.settings->LoadSettings();
    EXPECT_EQ(form.edit->text(), "1.250");
    EXPECT_EQ(form.memo->toPlainText(), "Header line 1\nline 2");
    EXPECT_TRUE(form.check->isChecked());
    EXPECT_TRUE(form.radio->isChecked());
    EXPECT_EQ(form.list->currentRow(), 2);
    EXPECT_EQ(form.combo->currentIndex(), 1);
    EXPECT_EQ(form.font->Font().family(), "Times New Roman");
    EXPECT_EQ(form.font->Font().pointSize(), 14);
    EXPECT_TRUE(form.font->Font().bold());
    EXPECT_TRUE(form.font->Font().strikeOut());
    EXPECT_FALSE(form.font->Font().italic());
    EXPECT_EQ(form.font->Color(), 0x0000FF);
}

TEST_F(FormSettings, OddValuesKeepTheCurrentOneOrReadAsNumbers)
{
    WriteSetting(Values, "cbLines", "5");        // any non-zero number is checked
    WriteSetting(Values, "lbUnits", "two");      // not a number: the current item stays
    WriteSetting(Values, "cbPosition", "2");
    WriteSetting(Values, "FontDialog1_Size", "big");
    WriteSetting(Values, "FontDialog1_Bold", "1");
    TestForm form;
    form.list->setCurrentRow(1);
    form.settings->SetLoadValues(true);
    form.settings->LoadSettings();
    EXPECT_TRUE(form.check->isChecked());
    EXPECT_EQ(form.list->currentRow(), 1);
    EXPECT_EQ(form.combo->currentIndex(), 2);
    EXPECT_EQ(form.edit->text(), "0.5");         // absent: unchanged
    EXPECT_EQ(form.font->Font().pointSize(), 10); // each attribute alone
    EXPECT_TRUE(form.font->Font().bold());
    EXPECT_EQ(form.font->Font().family(), "Arial");
}

TEST_F(FormSettings, ValuesAreLoadedOnlyWhenAsked)
{
    WriteSetting(Values, "edMargin", "9");
    TestForm form;
    form.settings->LoadSettings();
    EXPECT_EQ(form.edit->text(), "0.5");
}

TEST_F(FormSettings, PositionAndWindowState)
{
    WriteSetting(Position, "Left", "120");
    WriteSetting(Position, "Top", "x12");     // not a number: current top
    WriteSetting(Position, "Width", "400");
    TestForm form;
    const QPoint before = form.pos();
    form.settings->LoadSettings();
    EXPECT_EQ(form.pos(), QPoint(before.x() + 70, before.y()));
    EXPECT_EQ(form.width(), 400);
    EXPECT_EQ(form.height(), 200);
    EXPECT_FALSE(form.windowState() & Qt::WindowMaximized);

    // The state is compared in upper case.
    WriteSetting(Position, "WindowState", "maximized");
    form.settings->LoadSettings();
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);

    WriteSetting(Position, "WindowState", "Sideways"); // anything else is normal
    form.settings->LoadSettings();
    EXPECT_FALSE(form.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
}

TEST_F(FormSettings, SavingMaximisedOrMinimisedWritesOnlyTheState)
{
    TestForm form;
    form.settings->SaveSettings();
    EXPECT_EQ(ReadSetting(Position, "Left", "?"), "50");
    EXPECT_EQ(ReadSetting(Position, "Width", "?"), "300");
    EXPECT_EQ(ReadSetting(Position, "WindowState", "?"), "NORMAL");

    form.show();
    form.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.width() > 300; }, 2000));
    form.settings->SaveSettings();
    EXPECT_EQ(ReadSetting(Position, "Width", "?"), "300");
    EXPECT_EQ(ReadSetting(Position, "WindowState", "?"), "MAXIMIZED");

    form.showMinimized();
    form.settings->SaveSettings();
    EXPECT_EQ(ReadSetting(Position, "WindowState", "?"), "MINIMIZED");
    EXPECT_EQ(ReadSetting(Position, "Height", "?"), "200");
}

TEST_F(FormSettings, OnlyAFormIsRestoredAndAVanishedRootControlFallsBackToTheForm)
{
    QWidget notAForm;
    auto* child = new QWidget(&notAForm); // owner is no form: nothing happens
    TFormSettings settings(child);
    EXPECT_NO_THROW(settings.LoadSettings());

    // A form whose root control went away mid-life: the owner is scanned.
    TestForm form;
    {
        auto* root = new QWidget(&form);
        form.settings->SetRootControl(root);
        delete root;
    }
    form.settings->SetLoadValues(true);
    EXPECT_NO_THROW(form.settings->LoadSettings());
}

TEST(FormSettingsConversion, IntegersThatAreNoNumbersReadAsTheCurrentValue)
{
    EXPECT_EQ(IntegerOrCurrent("12", 5), 12);
    EXPECT_EQ(IntegerOrCurrent(" -3 ", 5), -3);
    EXPECT_EQ(IntegerOrCurrent("", 5), 5);
    EXPECT_EQ(IntegerOrCurrent("1x", 5), 5);
}
