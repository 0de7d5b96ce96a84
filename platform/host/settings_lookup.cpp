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
    const QString userConfig =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return {besideExecutable(applicationDir),
        QDir(userConfig).filePath(QStringLiteral("Termiva/") + kFileName),
        QStringLiteral("/etc/termiva/") + kFileName};
}

QString SettingsLookup::find(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return candidates.value(0);
}
