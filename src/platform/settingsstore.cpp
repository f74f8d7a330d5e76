#include "platform/settingsstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace tessaria {

namespace {

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
    const QString aside = path + ".damaged-" + QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
    if (!QFile::rename(path, aside))
        QFile::remove(path);
}

class TStoreAccess {
public:
    TStoreAccess() : Settings_(SettingsFilePath(), QSettings::IniFormat)
    {
        if (Settings_.status() == QSettings::FormatError) {
            SetAsideDamagedFile(SettingsFilePath());
            Settings_.clear();
            Damaged_ = true;
        }
    }
    QSettings& Settings() { return Settings_; }
    bool Damaged() const { return Damaged_; }

private:
    QSettings Settings_;
    bool Damaged_ = false;
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

} // namespace tessaria
