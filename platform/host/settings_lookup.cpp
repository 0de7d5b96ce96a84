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
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return candidates.value(0);
}

QString SettingsLookup::forWriting(const QString &settingsFile)
{
    // Whatever is at the path is the file in use; the writer refuses anything but a regular file.
    return QFileInfo::exists(settingsFile) ? settingsFile : userFile();
}
