#include "record_settings.h"

#include "profile_reader.h"

#include <QDir>
#include <QFileInfo>

RecordSettings RecordSettings::read(const QString &settingsFile, const QString &defaultDirectory)
{
    const QString section = QStringLiteral("RECORD");
    RecordSettings settings;
    settings.enabled = readProfileString(section, QStringLiteral("ENABLED"), settingsFile).trimmed()
        != QLatin1String("0");
    QString directory = QDir::fromNativeSeparators(
        readProfileString(section, QStringLiteral("DIR"), settingsFile).trimmed());
    // As a shell would: "~" and "~/..." are in the home folder; "~name" is left as written.
    if (directory == QLatin1String("~") || directory.startsWith(QLatin1String("~/")))
        directory.replace(0, 1, QDir::homePath());
    settings.directory = directory.isEmpty()
        ? defaultDirectory
        : QFileInfo(settingsFile).dir().absoluteFilePath(directory);
    return settings;
}
