#include "run_curve.h"

#include "csv_format.h"
#include "run_recorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

QDateTime moment(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

/// A number of the record as tenths: "58.5" gives 585.
std::optional<qint64> tenths(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e15)
        return std::nullopt;
    return std::llround(value * 10);
}

/// The record's columns this reader needs, by their heading.
struct Columns
{
    qsizetype time = -1;
    qsizetype runTime = -1;
    qsizetype kind = -1;
    qsizetype current = -1;
    bool complete() const { return time >= 0 && runTime >= 0 && kind >= 0 && current >= 0; }
};
} // namespace

RunCurve RunCurve::read(
    const QString &directory, const QStringList &heading, const QStringList &run)
{
    RunCurve curve;
    const auto cell = [&](const char *name) {
        return run.value(heading.indexOf(QLatin1String(name)));
    };
    curve.m_start = moment(cell("start"));
    const QString endText = cell("end");
    const QDateTime end = endText.isEmpty() ? QDateTime() : moment(endText);
    const QStringList records =
        cell("record").split(RunRecorder::recordSeparator(), Qt::SkipEmptyParts);
    if (!curve.m_start.isValid() || (!endText.isEmpty() && !end.isValid())) {
        curve.m_problem = tr("运行记录中的时间无法读取：%1").arg(cell("start"));
        return curve;
    }
    if (records.isEmpty()) {
        curve.m_problem =
            tr("这次运行没有记录文件（开始于 %1）")
                .arg(curve.m_start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        return curve;
    }
    for (const QString &name : records) {
        if (!curve.readRecord(QDir(directory).filePath(name), end))
            return curve;
    }
    if (curve.m_points.empty()) {
        curve.m_problem =
            tr("记录文件中没有这次运行的温度：%1")
                .arg(QDir::toNativeSeparators(QDir(directory).filePath(records.front())));
        return curve;
    }
    curve.startAtZeroAfterAClear();
    return curve;
}

/// Rows go one to a text line: the record writes control characters as escapes.
bool RunCurve::readRecord(const QString &path, const QDateTime &end)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        m_problem = tr("找不到记录文件：%1").arg(shown);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_problem = tr("无法读取记录文件：%1").arg(shown);
        return false;
    }
    QTextStream text(&file);
    text.setEncoding(QStringConverter::Utf8);
    const QStringList heading = CsvFormat::parse(text.readLine()).value(0);
    Columns columns{heading.indexOf(QLatin1String("time")), heading.indexOf(QLatin1String("run_s")),
        heading.indexOf(QLatin1String("kind")), heading.indexOf(QLatin1String("current_c"))};
    if (!columns.complete()) {
        m_problem = tr("无法读取记录文件：%1").arg(shown);
        return false;
    }
    const QLatin1String line("line");
    while (!text.atEnd()) {
        const QStringList row = CsvFormat::parse(text.readLine()).value(0);
        if (row.value(columns.kind) != line || row.value(columns.current).isEmpty())
            continue;
        const QDateTime at = moment(row.value(columns.time));
        if (!at.isValid() || at < m_start)
            continue;
        // Rows are written in time order: the run's lines end here.
        if (end.isValid() && at > end)
            break;
        const std::optional<qint64> runTime = tenths(row.value(columns.runTime));
        const std::optional<qint64> current = tenths(row.value(columns.current));
        if (runTime && current)
            m_points.push_back({*runTime, qint32(*current)});
    }
    if (file.error() != QFileDevice::NoError) {
        m_problem = tr("无法读取记录文件：%1").arg(shown);
        return false;
    }
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
