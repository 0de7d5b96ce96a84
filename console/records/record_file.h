#pragma once

#include <QFile>
#include <QString>

#include <optional>

class QDateTime;

/// One connection's record: rows gather in memory and go to disk on flush, in a file named by
/// the moment and the port, continued in a new file once the current one reaches its limit.
class RecordFile
{
public:
    static constexpr qint64 kRolloverBytes = 100 * 1024 * 1024;

    RecordFile(const QString &directory, const QString &portName, const QString &header,
        qint64 rolloverBytes = kRolloverBytes);

    /// Creates the directory and the first file; the reason when either fails.
    std::optional<QString> open(const QDateTime &moment);
    void append(const QString &row);
    qint64 pendingBytes() const { return m_pending.size(); }
    /// Writes what gathered, rolling over first when it would pass the limit.
    std::optional<QString> flush(const QDateTime &moment);
    /// The current file's name, without its directory.
    QString fileName() const;

private:
    std::optional<QString> openFileFor(const QDateTime &moment);
    QString unusedPath(const QDateTime &moment) const;

    QString m_directory;
    QString m_portName;
    QString m_header;
    qint64 m_rolloverBytes;
    QFile m_file;
    QByteArray m_pending;
};
