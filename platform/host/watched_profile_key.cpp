#include "watched_profile_key.h"

#include "profile_reader.h"

#include <QFileInfo>

WatchedProfileKey::WatchedProfileKey(
    const QString &section, const QString &key, const QString &path)
    : m_section(section)
    , m_key(key)
    , m_path(path)
{
}

QString WatchedProfileKey::value()
{
    const QFileInfo file(m_path);
    const bool exists = file.exists();
    const QDateTime modified = exists ? file.lastModified() : QDateTime();
    const qint64 size = exists ? file.size() : -1;
    if (!m_read || exists != m_existed || modified != m_modified || size != m_size) {
        m_value = readProfileString(m_section, m_key, m_path);
        m_read = true;
        m_existed = exists;
        m_modified = modified;
        m_size = size;
    }
    return m_value;
}
