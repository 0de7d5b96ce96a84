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
    const QString directory =
        readProfileString(section, QStringLiteral("DIR"), settingsFile).trimmed();
    settings.directory = directory.isEmpty()
        ? defaultDirectory
        : QFileInfo(settingsFile).dir().absoluteFilePath(QDir::fromNativeSeparators(directory));
    return settings;
}
