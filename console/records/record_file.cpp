#include "record_file.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

RecordFile::RecordFile(
    const QString &directory, const QString &portName, const QString &header, qint64 rolloverBytes)
    : m_directory(directory)
    , m_portName(portName)
    , m_header(header)
    , m_rolloverBytes(rolloverBytes)
{
}

std::optional<QString> RecordFile::open(const QDateTime &moment)
{
    if (!QDir().mkpath(m_directory))
        return QObject::tr("无法创建文件夹 %1").arg(QDir::toNativeSeparators(m_directory));
    return openFileFor(moment);
}

void RecordFile::append(const QString &row)
{
    m_pending += row.toUtf8();
}

std::optional<QString> RecordFile::flush(const QDateTime &moment)
{
    if (m_pending.isEmpty())
        return std::nullopt;
    if (m_file.size() + m_pending.size() > m_rolloverBytes && m_file.size() > m_header.size()) {
        if (std::optional<QString> error = openFileFor(moment))
            return error;
    }
    if (m_file.write(m_pending) != m_pending.size() || !m_file.flush())
        return m_file.errorString();
    m_pending.clear();
    return std::nullopt;
}

QString RecordFile::fileName() const
{
    return QFileInfo(m_file.fileName()).fileName();
}

std::optional<QString> RecordFile::openFileFor(const QDateTime &moment)
{
    m_file.close();
    m_file.setFileName(unusedPath(moment));
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
        || m_file.write(m_header.toUtf8()) < 0 || !m_file.flush())
        return QStringLiteral("%1: %2").arg(
            QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
    return std::nullopt;
}

/// A second connection within the same second, or a rollover, gets a numbered name.
QString RecordFile::unusedPath(const QDateTime &moment) const
{
    const QDir directory(m_directory);
    const QString stem =
        moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss_")) + m_portName;
    QString path = directory.filePath(stem + QLatin1String(".csv"));
    for (int number = 2; QFileInfo::exists(path); ++number)
        path = directory.filePath(QStringLiteral("%1_%2.csv").arg(stem).arg(number));
    return path;
}
