#pragma once

#include "records/regular_file.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QStringList>

#include <functional>

class ReadProgress;

/// The newest rows of runs.csv, read from its end back in blocks, so that a history of any size
/// costs the time and memory of the rows taken. A row is one text line, or more where a field
/// edited by hand holds a line break inside its quotes.
class RunsFileTail
{
    Q_DECLARE_TR_FUNCTIONS(RunsFileTail)

public:
    struct Outcome
    {
        /// Older rows were left unread.
        bool more = false;
        /// The last row had no line end and was left out.
        bool cut = false;
        /// Rows skipped for a length no console writes.
        qint64 overlong = 0;
        bool cancelled = false;
        /// Why the rows could not be read to the end, in the window's language.
        QString problem;
    };

    /// Where the console's runs are kept, given the name they belong under.
    struct Located
    {
        QString path;
        /// Its columns, by its heading; the console's own for a file not there or empty.
        QStringList columns;
        /// The files passed over, their heading not the console's: someone else's table.
        QStringList foreign;
    };

    /// Opens the file, if it is a regular file, and reads its heading.
    explicit RunsFileTail(const QString &path);

    /// The file at path, or, where it holds someone else's table, the first of its numbered
    /// neighbours (runs-2.csv, runs-3.csv, …) that does not: the recorder writes there, and the
    /// history and the tools read there.
    static Located locate(const QString &path);

    /// Why the file cannot be read, in the window's language; empty when it can or is not there.
    const QString &problem() const { return m_problem; }
    /// The file begins with a heading that is not the console's.
    bool isForeign() const { return m_foreign; }
    const QStringList &heading() const { return m_heading; }
    /// Hands the rows, newest first and without their line ends, to take, up to wanted rows that
    /// take accepts.
    Outcome readBack(qint64 wanted, const ReadProgress &progress,
        const std::function<bool(QByteArrayView row)> &take);

private:
    void readHeading();
    static bool holdsARow(QByteArrayView text);

    QString m_path;
    RegularFile m_file;
    QStringList m_heading;
    /// Where the first row begins.
    qint64 m_rowsFrom = 0;
    QString m_problem;
    bool m_foreign = false;
};
