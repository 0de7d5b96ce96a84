#pragma once

#include <QString>
#include <QStringList>

/// Where the console finds its settings file: beside the executable, then in the user's
/// configuration folder, then the system's; the first that exists is used.
namespace SettingsLookup {
QString besideExecutable(const QString &applicationDir);
QStringList candidates(const QString &applicationDir);
/// The first candidate that exists, whatever it is; the first of all when none does, so that
/// every read finds nothing, as with a missing file.
QString find(const QStringList &candidates);
/// The user's own settings file, in the user's configuration folder.
QString userFile();
/// Where a setting changed in the window is written: the settings file in use, or, when none
/// was found, the user's own, which the lookup finds the next time.
QString forWriting(const QString &settingsFile);
} // namespace SettingsLookup
