#include "settings_lookup.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString kFileName = QStringLiteral("tarvex.ini");
} // namespace

QString SettingsLookup::besideExecutable(const QString &applicationDir)
{
    return QDir(applicationDir).filePath(kFileName);
}

QStringList SettingsLookup::candidates(const QString &applicationDir)
{
    return {
        besideExecutable(applicationDir), userFile(), QStringLiteral("/etc/termiva/") + kFileName};
}

QString SettingsLookup::userFile()
{
    const QString userConfig =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(userConfig).filePath(QStringLiteral("Termiva/") + kFileName);
}

QString SettingsLookup::find(const QStringList &candidates)
{
    // Whatever is there is taken, a FIFO or a folder too: the status line names it as no regular
    // file, and reads never open it. Skipped, it would leave the user puzzled by another path.
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return candidates.value(0);
}

QString SettingsLookup::forWriting(const QString &settingsFile)
{
    // Whatever is at the path is the file in use; the writer refuses anything but a regular file.
    return QFileInfo::exists(settingsFile) ? settingsFile : userFile();
}
