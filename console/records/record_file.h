#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

class QDateTime;

/// One connection's record: rows gather in memory and go to disk on flush, in a file named by
/// the moment and the port, continued in numbered files (…_2.csv, …_3.csv) once the current one
/// reaches its limit. A row reaches the disk whole or not at all.
class RecordFile
{
    Q_DECLARE_TR_FUNCTIONS(RecordFile)

public:
    static constexpr qint64 kRolloverBytes = 100 * 1024 * 1024;

    /// What a flush did.
    struct Flushed
    {
        /// Why the rows could not be written; the file holds none of them in part.
        std::optional<QString> error;
        /// The file had been removed or moved away, so the rows went to a new one.
        bool restarted = false;
    };

    RecordFile(const QString &directory, const QString &portName, const QString &header,
        qint64 rolloverBytes = kRolloverBytes);
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    /// Creates the directory and the first file; the reason when either fails.
    std::optional<QString> open(const QDateTime &moment);
    void append(const QString &row);
    qint64 pendingBytes() const { return m_pending.size(); }
    /// Writes what gathered: into a new file when the current one has gone from its folder,
    /// the next part first when the rows would pass the limit of a file that holds more than
    /// its heading.
    Flushed flush(const QDateTime &moment);
    /// The current file's name, without its directory.
    QString fileName() const;

    /// Adds rows to a table file, its heading first when the file is new or empty: all of them
    /// or, with the reason, none. Anything there but a regular file is left unopened.
    static std::optional<QString> appendRows(
        const QString &path, const QString &header, const QString &rows);

private:
    static std::optional<QString> makeDirectory(const QString &directory);
    std::optional<QString> startFile(const QDateTime &moment);
    std::optional<QString> create(const QString &path);
    bool stillInPlace() const;
    std::optional<QString> write(const QByteArray &bytes);
    QString unusedPath(const QString &stem) const;
    QString nextPart();
    void close();

    QString m_directory;
    QString m_portName;
    QByteArray m_header;
    qint64 m_rolloverBytes;
    /// The first file of the current series without ".csv"; its parts add "_2", "_3" and on.
    QString m_stem;
    int m_part = 1;
    QString m_path;
    int m_descriptor = -1;
    qint64 m_size = 0;
    QByteArray m_pending;
};
