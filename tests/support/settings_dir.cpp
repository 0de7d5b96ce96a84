#include "settings_dir.h"

#include <QFile>

SettingsDir::SettingsDir(const QMap<int, QString> &ports, const QByteArray &extra)
{
    QFile file(settingsFile());
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write("[PORTS]\r\n");
    for (auto it = ports.cbegin(); it != ports.cend(); ++it)
        file.write(QStringLiteral("COM%1=%2\r\n").arg(it.key()).arg(it.value()).toLocal8Bit());
    file.write(extra);
}

QString SettingsDir::settingsFile() const
{
    return m_dir.filePath(QStringLiteral("tarvex.ini"));
}
