#pragma once

#include <QDateTime>
#include <QString>

/// One key of a settings file that is read again only when the file has changed since the last
/// read, so that asking for it on every received line costs a file status check, not a parse.
class WatchedProfileKey
{
public:
    WatchedProfileKey(const QString &section, const QString &key, const QString &path);

    QString value();

private:
    QString m_section;
    QString m_key;
    QString m_path;
    bool m_read = false;
    bool m_existed = false;
    QDateTime m_modified;
    qint64 m_size = -1;
    QString m_value;
};
