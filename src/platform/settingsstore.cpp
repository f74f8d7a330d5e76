#include "platform/settingsstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "platform/dialogs.h"

namespace tessaria {

namespace {

bool ToldDamaged = false;
bool ToldCannotWrite = false;

// Shown at most once for each flag, also when showing it leads to another
// access of the store.
void TellOnce(bool& told, const QString& text)
{
    if (told)
        return;
    told = true;
    Dialogs().ShowMessage(text);
}

// QSettings only says that writing failed; the file system says why.
QString WriteFailureReason(const QString& file)
{
    const std::filesystem::path path = file.toStdString();
    const std::filesystem::path folder = path.parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return QString::fromStdString(error.message());
    if (::access(folder.c_str(), W_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (std::filesystem::is_directory(path, error))
        return QString::fromLocal8Bit(std::strerror(EISDIR));
    if (std::filesystem::exists(path, error) && ::access(path.c_str(), W_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QStringLiteral("the file could not be written");
}

void TellCannotWrite()
{
    if (ToldCannotWrite)
        return;
    const QString file = SettingsFilePath();
    TellOnce(ToldCannotWrite, QStringLiteral("The settings cannot be saved in %1: %2. Tessaria goes on with its "
                                             "defaults; settings you change are not kept.")
                                  .arg(QDir::toNativeSeparators(file), WriteFailureReason(file)));
}

QString GroupOf(const QString& key)
{
    QString group = key;
    group.replace('\\', '/');
    while (group.endsWith('/'))
        group.chop(1);
    return group;
}

// A file that Qt cannot parse is moved aside once, so that the program starts
// from defaults and can write a good file again; the damaged one stays for
// whoever wants to look at it.
void SetAsideDamagedFile(const QString& path)
{
    const QString stamp = path + ".damaged-" + QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
    QString aside = stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = stamp + "-" + QString::number(n);
    QString what;
    if (QFile::rename(path, aside))
        what = QStringLiteral("was set aside as %1").arg(QDir::toNativeSeparators(aside));
    else if (QFile::remove(path))
        what = QStringLiteral("was removed");
    else
        what = QStringLiteral("could be neither set aside nor removed");
    TellOnce(ToldDamaged, QStringLiteral("The settings file %1 is damaged: it cannot be read as a settings file. It "
                                         "%2, and Tessaria starts from its defaults.")
                              .arg(QDir::toNativeSeparators(path), what));
}

class TStoreAccess {
public:
    TStoreAccess() : Settings_(SettingsFilePath(), QSettings::IniFormat)
    {
        if (Settings_.status() == QSettings::FormatError) {
            SetAsideDamagedFile(SettingsFilePath());
            Settings_.clear();
        }
    }
    QSettings& Settings() { return Settings_; }

private:
    QSettings Settings_;
};

} // namespace

QString SettingsFilePath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + "/.config";
    return folder + "/Corvanel/Tessaria.ini";
}

QString ReadSetting(const QString& key, const QString& name, const QString& defaultValue)
{
    TStoreAccess access;
    QSettings& s = access.Settings();
    s.beginGroup(GroupOf(key));
    if (!s.contains(name))
        return defaultValue;
    const QVariant value = s.value(name);
    // An unquoted "a, b" written by hand reads as a list; it was meant as text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(", ");
    return value.toString();
}

void WriteSetting(const QString& key, const QString& name, const QString& value)
{
    TStoreAccess access;
    QSettings& s = access.Settings();
    s.beginGroup(GroupOf(key));
    s.setValue(name, value);
    s.endGroup();
    s.sync();
    if (s.status() == QSettings::AccessError)
        TellCannotWrite();
}

bool SettingExists(const QString& key, const QString& name)
{
    TStoreAccess access;
    QSettings& s = access.Settings();
    s.beginGroup(GroupOf(key));
    return s.contains(name);
}

QStringList SettingNames(const QString& key)
{
    TStoreAccess access;
    QSettings& s = access.Settings();
    s.beginGroup(GroupOf(key));
    return s.childKeys();
}

void ForgetToldSettingsProblems()
{
    ToldDamaged = false;
    ToldCannotWrite = false;
}

} // namespace tessaria
