#pragma once
// The per-user settings store: keys, subkeys and named string values, kept in
// one INI file under the user's config folder (it follows XDG_CONFIG_HOME).
// Key paths use "\" as in "Software\Corvanel\Tessarine". Nothing is cached:
// every access opens the file, reads or writes, and closes it again.

#include <QString>
#include <QStringList>

namespace tessaria {

// The file behind the store.
QString SettingsFilePath();

// The value's text when it exists (also when empty), otherwise `defaultValue`.
QString ReadSetting(const QString& key, const QString& name, const QString& defaultValue);
void WriteSetting(const QString& key, const QString& name, const QString& value);
bool SettingExists(const QString& key, const QString& name);
// Names of the values directly under a key.
QStringList SettingNames(const QString& key);

// A store that cannot be written, or a damaged file that was set aside, is
// told to the user through the dialog seam, each once per run, with the file
// and the reason; the program goes on with the defaults. Tests call this to
// start a fresh run.
void ForgetToldSettingsProblems();

} // namespace tessaria
