#pragma once

#include "records/record_rows.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <limits>
#include <vector>

class ReadProgress;

/// The rows of record files within a range of time, read one file after another as data anyone
/// may have put in the folder: only a regular file is opened, its columns are found by name, and
/// what kept a file from being read, or what of it was left out, is said in the window's language.
class RecordScan
{
    Q_DECLARE_TR_FUNCTIONS(RecordScan)

public:
    /// Told each row in the range with its time in milliseconds since the epoch; returns false
    /// once it wants no more rows.
    using Visit = std::function<bool(qint64 milliseconds, const RowFields &fields)>;

    /// The record files of a runs.csv row, its columns named by heading, from lead milliseconds
    /// before the run's start to its end (to the files' end for a run in progress). A record
    /// named by anything but a plain file name, which could lead out of the folder, is refused.
    static RecordScan ofRun(const QString &directory, const QStringList &heading,
        const QStringList &run, qint64 leadMilliseconds = 0);
    /// One record file, whole.
    static RecordScan ofRecord(const QString &path);

    /// Reads the rows of these columns, the first of them `time`; a file whose heading lacks
    /// one of the first `required` is unreadable. False when a file could not be read or the
    /// reading was cancelled.
    bool read(const std::vector<const char *> &columns, std::size_t required,
        const ReadProgress &progress, const Visit &visit);

    /// The bytes of the files, for the progress of reading several runs.
    qint64 bytes() const;
    bool isValid() const { return m_problem.isEmpty() && !m_cancelled; }
    bool isCancelled() const { return m_cancelled; }
    /// Why the files cannot be read, in the window's language.
    const QString &problem() const { return m_problem; }
    /// What was left out of files read all the same: rows cut short or too long.
    const QStringList &notes() const { return m_notes; }
    /// The run's start; invalid for a record read whole.
    const QDateTime &start() const { return m_start; }
    const QStringList &paths() const { return m_paths; }

private:
    /// How far reading went in one file.
    enum class FileRead { Whole, Stopped, Failed };
    FileRead readFile(const QString &path, const std::vector<const char *> &columns,
        std::size_t required, const ReadProgress &progress, const Visit &visit);

    QDateTime m_start;
    qint64 m_from = std::numeric_limits<qint64>::min();
    qint64 m_to = std::numeric_limits<qint64>::max();
    QStringList m_paths;
    QString m_problem;
    QStringList m_notes;
    bool m_cancelled = false;
};
