#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "platform/settingsstore.h"
#include "support/qtprinters.h"
#include "support/testfiles.h"

using namespace tessaria;

namespace {

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", Config.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    test::TempDir Config;
    const QString Key = "Software\\Corvanel\\Tessarine";
};

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
