#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <functional>
#include <memory>

#include "platform/scripteddialogs.h"
#include "platform/settingsstore.h"
#include "support/qtprinters.h"
#include "support/testfiles.h"

using namespace tessaria;

namespace {

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", Config.Path().c_str(), 1);
        Dialogs = TScriptedDialogs::Install(DialogsGuard);
        ForgetToldSettingsProblems();
    }
    void TearDown() override
    {
        DialogsGuard.reset();
        unsetenv("XDG_CONFIG_HOME");
    }
    // A config folder below `path` (relative to the temporary folder).
    void UseConfigFolder(const std::string& path)
    {
        setenv("XDG_CONFIG_HOME", Config.File(path).c_str(), 1);
    }
    test::TempDir Config;
    const QString Key = "Software\\Corvanel\\Tessarine";
    std::unique_ptr<TScriptedDialogs::TGuard> DialogsGuard;
    TScriptedDialogs* Dialogs = nullptr;
};

// A settings file cut short in the middle of a section's name, as a crash
// while writing leaves it.
const std::string CutShort = "[Software]\nCorvanel\\Tessarine\\FileMask=*.gif;\n[Softw";

void WriteDamaged(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    test::WriteFile(path.toStdString(), CutShort);
}

} // namespace

TEST_F(SettingsStore, LivesInTheUsersConfigFolder)
{
    EXPECT_EQ(SettingsFilePath(), QString::fromStdString(Config.File("Corvanel/Tessaria.ini")));
}

TEST_F(SettingsStore, AbsentValuesTakeTheDefaultEmptyValuesStayEmpty)
{
    EXPECT_EQ(ReadSetting(Key, "screenleft", "2"), "2");
    WriteSetting(Key, "LastFolder", "");
    EXPECT_EQ(ReadSetting(Key, "LastFolder", "/default/"), "");
    EXPECT_TRUE(SettingExists(Key, "LastFolder"));
    EXPECT_FALSE(SettingExists(Key, "screenleft"));
}

TEST_F(SettingsStore, ValuesRoundTripUnchanged)
{
    const QString values[] = {"*.jpg;*.bmp;*.tif;*.pcx;*.pcd;", "a, b, c", "/home/ann/Pictures/Été 2024/", "  x  ",
                              "line\\with\\backslashes", "=;#[]\"'", "100"};
    int i = 0;
    for (const QString& v : values)
        WriteSetting(Key, QString("v%1").arg(i++), v);
    i = 0;
    for (const QString& v : values)
        EXPECT_EQ(ReadSetting(Key, QString("v%1").arg(i++), "?"), v);
}

TEST_F(SettingsStore, KeysAndSubkeysAreSeparate)
{
    WriteSetting("Software\\Tessaria\\frmTessaria\\Position", "Left", "5");
    WriteSetting("Software\\Tessaria\\PageSetupForm\\Position", "Left", "6");
    EXPECT_EQ(ReadSetting("Software\\Tessaria\\frmTessaria\\Position", "Left", "?"), "5");
    EXPECT_EQ(ReadSetting("Software\\Tessaria\\PageSetupForm\\Position", "Left", "?"), "6");
    EXPECT_EQ(ReadSetting("Software\\Tessaria\\frmTessaria", "Left", "none"), "none");
    EXPECT_EQ(SettingNames("Software\\Tessaria\\frmTessaria\\Position"), QStringList{"Left"});
}

TEST_F(SettingsStore, AWriteIsSeenAtOnceAlsoByAnotherProcess)
{
    WriteSetting(Key, "FileMask", "*.gif;");
    // Another process reads the file we wrote ...
    QFile file(SettingsFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("*.gif;"));
    file.close();
    // ... and writes one we read at once, with nothing cached on our side.
    EXPECT_EQ(ReadSetting(Key, "screenleft", "2"), "2");
    QProcess sed;
    sed.start("sed", {"-i", "s/^\\(.*FileMask=\\).*/\\1\"*.png;\"/", SettingsFilePath()});
    ASSERT_TRUE(sed.waitForFinished());
    EXPECT_EQ(ReadSetting(Key, "FileMask", "?"), "*.png;");
}

TEST_F(SettingsStore, ADamagedFileGivesDefaultsAndCanBeWrittenAgain)
{
    QDir().mkpath(QString::fromStdString(Config.File("Corvanel")));
    std::vector<uint8_t> garbage(4096);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t(i * 7919 % 251);
    test::WriteFile(SettingsFilePath().toStdString(), garbage);
    EXPECT_EQ(ReadSetting(Key, "screenwidth", "690"), "690");
    WriteSetting(Key, "screenwidth", "700");
    EXPECT_EQ(ReadSetting(Key, "screenwidth", "690"), "700");
}

TEST_F(SettingsStore, AnUnreadableStoreGivesDefaultsWithoutFailing)
{
    // A folder where the file should be: it can be neither read nor written.
    QDir().mkpath(SettingsFilePath());
    EXPECT_EQ(ReadSetting(Key, "screenheight", "518"), "518");
    EXPECT_NO_THROW(WriteSetting(Key, "screenheight", "600"));
    EXPECT_EQ(ReadSetting(Key, "screenheight", "518"), "518");
}

TEST_F(SettingsStore, AStoreThatCannotBeWrittenIsToldOncePerRunWithTheFileAndTheReason)
{
    struct Case { const char* name; std::function<void()> make; std::string reason; };
    const Case cases[] = {
        {"a file where a folder of the path belongs",
         [&] {
             test::WriteFile(Config.File("blocked"), "x");
             UseConfigFolder("blocked/config");
         },
         "Not a directory"},
        {"a folder in the file's place",
         [&] {
             UseConfigFolder("taken");
             QDir().mkpath(SettingsFilePath());
         },
         "Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ForgetToldSettingsProblems();
        Dialogs->Clear();
        c.make();
        EXPECT_EQ(ReadSetting(Key, "screenwidth", "690"), "690");
        EXPECT_TRUE(Dialogs->Shown.empty()) << "reading defaults is no failure";
        WriteSetting(Key, "screenwidth", "700");
        WriteSetting(Key, "FileMask", "*.gif;");
        WriteSetting("Software\\Tessaria\\frmTessaria\\Position", "Left", "5");
        EXPECT_EQ(ReadSetting(Key, "screenwidth", "690"), "690");
        const QString expected = "The settings cannot be saved in " + SettingsFilePath() + ": " +
                                 QString::fromStdString(c.reason) +
                                 ". Tessaria goes on with its defaults; settings you change are not kept.";
        EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Message), QStringList{expected});
        EXPECT_EQ(Dialogs->Shown.size(), 1u);
    }
    // A new run tells it again.
    ForgetToldSettingsProblems();
    WriteSetting(Key, "screenwidth", "700");
    EXPECT_EQ(Dialogs->Shown.size(), 2u);
}

TEST_F(SettingsStore, ADamagedFileIsSetAsideAndToldOnce)
{
    WriteDamaged(SettingsFilePath());
    EXPECT_EQ(ReadSetting(Key, "screenwidth", "690"), "690");
    const QStringList aside =
        QDir(QFileInfo(SettingsFilePath()).path()).entryList({"Tessaria.ini.damaged-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    const QString asidePath = QFileInfo(SettingsFilePath()).path() + "/" + aside[0];
    EXPECT_EQ(test::ReadFile(asidePath.toStdString()), std::vector<uint8_t>(CutShort.begin(), CutShort.end()))
        << "the damaged file is kept as it was";
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Message),
              QStringList{"The settings file " + SettingsFilePath() +
                          " is damaged: it cannot be read as a settings file. It was set aside as " + asidePath +
                          ", and Tessaria starts from its defaults."});

    // Damaged again in the same run: set aside again, not told again.
    WriteSetting(Key, "screenwidth", "700");
    QFile::remove(SettingsFilePath());
    WriteDamaged(SettingsFilePath());
    EXPECT_EQ(ReadSetting(Key, "screenwidth", "690"), "690");
    EXPECT_EQ(Dialogs->Shown.size(), 1u);
    EXPECT_EQ(QDir(QFileInfo(SettingsFilePath()).path()).entryList({"Tessaria.ini.damaged-*"}, QDir::Files).size(), 2)
        << "the second one does not replace the first";
}
