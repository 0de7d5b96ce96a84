#include "run_curve.h"

#include "records/record_rows.h"
#include "records/record_scan.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

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

} // namespace

RunCurve RunCurve::read(const QString &directory, const QStringList &heading,
    const QStringList &run, const ReadProgress &progress)
{
    RunCurve curve;
    RecordScan scan = RecordScan::ofRun(directory, heading, run);
    curve.m_start = scan.start();
    scan.read(kColumns, kColumns.size(), progress, [&](qint64, const RowFields &fields) {
        curve.take(fields);
        return true;
    });
    curve.m_cancelled = scan.isCancelled();
    curve.m_problem = scan.problem();
    curve.m_notes = scan.notes();
    if (!scan.isValid())
        return curve;
    if (curve.m_points.empty()) {
        curve.m_problem = tr("记录文件中没有这次运行的温度：%1")
                              .arg(QDir::toNativeSeparators(scan.paths().front()));
        return curve;
    }
    curve.startAtZeroAfterAClear();
    return curve;
}

qint64 RunCurve::recordBytes(
    const QString &directory, const QStringList &heading, const QStringList &run)
{
    return RecordScan::ofRun(directory, heading, run).bytes();
}

void RunCurve::take(const RowFields &fields)
{
    const QByteArrayView kind = fields[Kind];
    const bool lost = kind == "lost";
    if ((kind != "line" || fields[Current].isEmpty()) && !lost)
        return;
    const std::optional<qint64> runTime = tenths(fields[RunTime]);
    const std::optional<qint64> current = lost ? std::optional<qint64>(0) : tenths(fields[Current]);
    if (runTime && current)
        m_points.push_back({*runTime, qint32(*current), lost});
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
