#include "run_curve.h"

#include "records/csv_format.h"
#include "records/read_progress.h"
#include "records/record_rows.h"
#include "records/regular_file.h"
#include "records/run_recorder.h"
#include "records/text_lines.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

QDateTime moment(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

/// A number of the record as tenths: "58.5" gives 585.
std::optional<qint64> tenths(QByteArrayView text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e15)
        return std::nullopt;
    return std::llround(value * 10);
}

/// The record's columns this reader needs.
enum Column : std::size_t { Time, RunTime, Kind, Current };
const std::vector<const char *> kColumns{"time", "run_s", "kind", "current_c"};

bool complete(const RecordColumns &columns)
{
    for (std::size_t column = 0; column < kColumns.size(); ++column) {
        if (!columns.has(column))
            return false;
    }
    return true;
}

} // namespace

RunCurve RunCurve::read(const QString &directory, const QStringList &heading,
    const QStringList &run, const ReadProgress &progress)
{
    RunCurve curve;
    const auto cell = [&](const char *name) {
        return run.value(heading.indexOf(QLatin1String(name)));
    };
    curve.m_start = moment(cell("start"));
    const QString endText = cell("end");
    const QDateTime end = endText.isEmpty() ? QDateTime() : moment(endText);
    const RunRecorder::RecordPaths records = RunRecorder::recordPaths(directory, cell("record"));
    if (!curve.m_start.isValid() || (!endText.isEmpty() && !end.isValid())) {
        curve.m_problem = tr("运行记录中的时间无法读取：%1").arg(cell("start"));
        return curve;
    }
    if (!records.refused.isEmpty()) {
        curve.m_problem = tr("记录文件名不是记录文件夹中的文件，未读取：%1").arg(records.refused);
        return curve;
    }
    if (records.paths.isEmpty()) {
        curve.m_problem =
            tr("这次运行没有记录文件（开始于 %1）")
                .arg(curve.m_start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        return curve;
    }
    const qint64 total = recordBytes(directory, heading, run);
    qint64 before = 0;
    for (const QString &path : records.paths) {
        if (!curve.readRecord(path, end, progress.part(before, total)))
            return curve;
        before += QFileInfo(path).size();
    }
    if (curve.m_points.empty()) {
        curve.m_problem = tr("记录文件中没有这次运行的温度：%1")
                              .arg(QDir::toNativeSeparators(records.paths.front()));
        return curve;
    }
    curve.startAtZeroAfterAClear();
    return curve;
}

qint64 RunCurve::recordBytes(
    const QString &directory, const QStringList &heading, const QStringList &run)
{
    qint64 bytes = 0;
    for (const QString &path :
        RunRecorder::recordPaths(directory, run.value(heading.indexOf(QLatin1String("record"))))
            .paths)
        bytes += QFileInfo(path).size();
    return bytes;
}

/// Rows go one to a text line: the record writes control characters as escapes.
bool RunCurve::readRecord(const QString &path, const QDateTime &end, const ReadProgress &progress)
{
    const QString shown = QDir::toNativeSeparators(path);
    const RegularFile file(path, RegularFile::Access::Read);
    if (file.error() == ENOENT) {
        m_problem = tr("找不到记录文件：%1").arg(shown);
        return false;
    }
    if (file.isNotRegular()) {
        m_problem = tr("无法读取记录文件：%1 不是普通文件").arg(shown);
        return false;
    }
    if (!file.isOpen()) {
        m_problem = tr("无法读取记录文件：%1").arg(shown);
        return false;
    }
    std::optional<RecordColumns> columns;
    std::optional<RowFields> fields;
    RecordTimes times;
    const qint64 from = m_start.toMSecsSinceEpoch();
    const qint64 to = end.isValid() ? end.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    const TextLines::Outcome outcome = TextLines::read(file, progress, [&](QByteArrayView line) {
        if (!columns) {
            columns.emplace(CsvFormat::parse(QString::fromUtf8(line)).value(0), kColumns);
            if (!complete(*columns))
                return false;
            fields.emplace(*columns);
            return true;
        }
        if (!fields->split(line))
            return true;
        const QByteArrayView kind = (*fields)[Kind];
        const bool lost = kind == "lost";
        if ((kind != "line" || (*fields)[Current].isEmpty()) && !lost)
            return true;
        const std::optional<qint64> at = times.at((*fields)[Time]);
        if (!at || *at < from)
            return true;
        // Rows are written in time order: the run's lines end here.
        if (*at > to)
            return false;
        const std::optional<qint64> runTime = tenths((*fields)[RunTime]);
        const std::optional<qint64> current =
            lost ? std::optional<qint64>(0) : tenths((*fields)[Current]);
        if (runTime && current)
            m_points.push_back({*runTime, qint32(*current), lost});
        return true;
    });
    if (outcome.cancelled) {
        m_cancelled = true;
        return false;
    }
    if (outcome.error != 0 || !columns || !complete(*columns)) {
        m_problem = tr("无法读取记录文件：%1").arg(shown);
        return false;
    }
    if (outcome.cut)
        m_notes.append(tr("记录文件的最后一行不完整，已舍去：%1").arg(shown));
    if (outcome.overlong > 0)
        m_notes.append(tr("记录文件中有 %1 行过长，未读取：%2").arg(outcome.overlong).arg(shown));
    return true;
}

/// A line that comes after "时间清零" before the run-time box has counted its first tenth carries
/// the old run's time; the run was at 0 then, and the chart stamped it so.
void RunCurve::startAtZeroAfterAClear()
{
    // Within a run the run time never falls but there.
    const auto fall = std::adjacent_find(
        m_points.begin(), m_points.end(), [](const CurvePoint &one, const CurvePoint &next) {
            return next.runTenths < one.runTenths;
        });
    if (fall == m_points.end())
        return;
    for (auto point = m_points.begin(); point != fall + 1; ++point)
        point->runTenths = 0;
}
