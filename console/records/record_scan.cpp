#include "record_scan.h"

#include "records/csv_format.h"
#include "records/read_progress.h"
#include "records/regular_file.h"
#include "records/run_recorder.h"
#include "records/text_lines.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace {

QDateTime moment(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

bool hasAll(const RecordColumns &columns, std::size_t required)
{
    for (std::size_t column = 0; column < required; ++column) {
        if (!columns.has(column))
            return false;
    }
    return true;
}

} // namespace

RecordScan RecordScan::ofRun(const QString &directory, const QStringList &heading,
    const QStringList &run, qint64 leadMilliseconds)
{
    RecordScan scan;
    const auto cell = [&](const char *name) {
        return run.value(heading.indexOf(QLatin1String(name)));
    };
    scan.m_start = moment(cell("start"));
    const QString endText = cell("end");
    const QDateTime end = endText.isEmpty() ? QDateTime() : moment(endText);
    if (!scan.m_start.isValid() || (!endText.isEmpty() && !end.isValid())) {
        scan.m_problem = tr("运行记录中的时间无法读取：%1").arg(cell("start"));
        return scan;
    }
    const RunRecorder::RecordPaths records = RunRecorder::recordPaths(directory, cell("record"));
    if (!records.refused.isEmpty()) {
        scan.m_problem = tr("记录文件名不是记录文件夹中的文件，未读取：%1").arg(records.refused);
        return scan;
    }
    if (records.paths.isEmpty()) {
        scan.m_problem =
            tr("这次运行没有记录文件（开始于 %1）")
                .arg(scan.m_start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        return scan;
    }
    scan.m_paths = records.paths;
    scan.m_from = scan.m_start.toMSecsSinceEpoch() - leadMilliseconds;
    if (end.isValid())
        scan.m_to = end.toMSecsSinceEpoch();
    return scan;
}

RecordScan RecordScan::ofRecord(const QString &path)
{
    RecordScan scan;
    scan.m_paths = QStringList{path};
    return scan;
}

qint64 RecordScan::bytes() const
{
    qint64 total = 0;
    for (const QString &path : m_paths)
        total += QFileInfo(path).size();
    return total;
}

bool RecordScan::read(const std::vector<const char *> &columns, std::size_t required,
    const ReadProgress &progress, const Visit &visit)
{
    if (!m_problem.isEmpty())
        return false;
    const qint64 total = bytes();
    qint64 before = 0;
    for (const QString &path : std::as_const(m_paths)) {
        switch (readFile(path, columns, required, progress.part(before, total), visit)) {
        case FileRead::Failed:
            return false;
        case FileRead::Stopped:
            return true;
        case FileRead::Whole:
            break;
        }
        before += QFileInfo(path).size();
    }
    return true;
}

/// Rows go one to a text line: the record writes control characters as escapes.
RecordScan::FileRead RecordScan::readFile(const QString &path,
    const std::vector<const char *> &columns, std::size_t required, const ReadProgress &progress,
    const Visit &visit)
{
    const QString shown = QDir::toNativeSeparators(path);
    const RegularFile file(path, RegularFile::Access::Read);
    if (file.error() == ENOENT) {
        m_problem = tr("找不到记录文件：%1").arg(shown);
        return FileRead::Failed;
    }
    if (file.isNotRegular()) {
        m_problem = tr("无法读取记录文件：%1 不是普通文件").arg(shown);
        return FileRead::Failed;
    }
    if (!file.isOpen()) {
        m_problem = tr("无法读取记录文件：%1").arg(shown);
        return FileRead::Failed;
    }
    std::optional<RecordColumns> found;
    std::optional<RowFields> fields;
    RecordTimes times;
    bool stopped = false;
    // Rows that cannot be read are counted where they lie among the range's rows: from its first
    // row on, not among the rows before it.
    bool inRange = m_from == std::numeric_limits<qint64>::min();
    qint64 shortRows = 0;
    qint64 untimedRows = 0;
    const TextLines::Outcome outcome = TextLines::read(file, progress, [&](QByteArrayView line) {
        if (!found) {
            found.emplace(CsvFormat::parse(QString::fromUtf8(line)).value(0), columns);
            if (!hasAll(*found, required))
                return false;
            fields.emplace(*found);
            return true;
        }
        if (!fields->split(line)) {
            shortRows += inRange ? 1 : 0;
            return true;
        }
        const std::optional<qint64> at = times.at((*fields)[0]);
        if (!at) {
            untimedRows += inRange ? 1 : 0;
            return true;
        }
        if (*at < m_from)
            return true;
        inRange = true;
        // Rows are written in time order: the range ends here.
        stopped = *at > m_to || !visit(*at, *fields);
        return !stopped;
    });
    if (outcome.cancelled) {
        m_cancelled = true;
        return FileRead::Failed;
    }
    if (outcome.error != 0 || !found || !hasAll(*found, required)) {
        m_problem = tr("无法读取记录文件：%1").arg(shown);
        return FileRead::Failed;
    }
    if (outcome.cut)
        m_notes.append(tr("记录文件的最后一行不完整，已舍去：%1").arg(shown));
    if (outcome.overlong > 0)
        m_notes.append(tr("记录文件中有 %1 行过长，未读取：%2").arg(outcome.overlong).arg(shown));
    if (untimedRows > 0)
        m_notes.append(
            tr("记录文件中有 %1 行的时间无法读取，未读取：%2").arg(untimedRows).arg(shown));
    if (shortRows > 0)
        m_notes.append(tr("记录文件中有 %1 行的列不全，未读取：%2").arg(shortRows).arg(shown));
    return stopped ? FileRead::Stopped : FileRead::Whole;
}
