#pragma once

#include <QMap>
#include <QString>
#include <QTemporaryDir>

/// A temporary application directory holding a settings file with a PORTS section.
class SettingsDir
{
public:
    /// Each entry maps a port number to the device its COMn key names.
    explicit SettingsDir(const QMap<int, QString> &ports, const QByteArray &extra = {});

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString settingsFile() const;

private:
    QTemporaryDir m_dir;
};
