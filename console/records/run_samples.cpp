#include "run_samples.h"

#include "records/read_progress.h"
#include "records/record_rows.h"
#include "records/record_scan.h"

#include <QDateTime>
#include <QDir>

#include <algorithm>
#include <cmath>

namespace {

/// The record's columns this reader needs; a record from another tool may lack those after the
/// first four, and the fit then says what it misses.
enum Column : std::size_t { Time, RunTime, Kind, Current, Set, Output, P, I, D };
const std::vector<const char *> kColumns{
    "time", "run_s", "kind", "current_c", "set_c", "output_pct", "p", "i", "d"};
constexpr std::size_t kRequired = 4;

/// A run that starts this soon after the moment asked for is taken as the one meant: runs.csv
/// holds the moment the run time was cleared, and its first line comes after.
constexpr qint64 kStartSlackMilliseconds = 1000;

std::optional<double> number(QByteArrayView text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> whole(QByteArrayView text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString shownTime(qint64 milliseconds)
{
    return QDateTime::fromMSecsSinceEpoch(milliseconds)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

RunSamples RunSamples::ofRun(const QString &directory, const QStringList &heading,
    const QStringList &run, const ReadProgress &progress)
{
    RunSamples samples;
    RecordScan scan = RecordScan::ofRun(directory, heading, run, kLeadInMilliseconds);
    const qint64 start = scan.start().toMSecsSinceEpoch();
    samples.readLines(scan, progress, [&](qint64 at, const RowFields &) {
        if (!samples.m_inRun && at >= start)
            samples.startRun(at);
        return true;
    });
    samples.finish(scan, Problem::NoLines,
        tr("记录文件中没有这次运行的温度：%1")
            .arg(QDir::toNativeSeparators(scan.paths().value(0))));
    return samples;
}

RunSamples RunSamples::ofRecord(
    const QString &path, std::optional<qint64> runAt, const ReadProgress &progress)
{
    RunSamples samples;
    Run chosen;
    // Asked for a moment, the latest run started by then is the one; else the longest.
    const auto keep = [&] {
        Run &run = samples.m_run;
        if (runAt || chosen.isEmpty() || run.seconds() > chosen.seconds())
            chosen = std::move(run);
    };
    std::optional<double> lastRunSeconds;
    RecordScan scan = RecordScan::ofRecord(path);
    samples.readLines(scan, progress, [&](qint64 at, const RowFields &fields) {
        const std::optional<double> runSeconds = number(fields[RunTime]);
        if (!samples.m_inRun || (runSeconds && lastRunSeconds && *runSeconds < *lastRunSeconds)) {
            // Rows are in time order: no later run is the one asked for.
            if (runAt && at > *runAt + kStartSlackMilliseconds)
                return false;
            keep();
            samples.startRun(at);
        }
        if (runSeconds)
            lastRunSeconds = samples.m_run.runSeconds = runSeconds;
        return true;
    });
    keep();
    samples.m_run = std::move(chosen);
    if (runAt && samples.m_run.end < *runAt - kStartSlackMilliseconds)
        samples.m_run = {};
    const QString shown = QDir::toNativeSeparators(path);
    samples.finish(scan, runAt ? Problem::NoSuchRun : Problem::NoLines,
        runAt ? tr("记录文件中没有在 %1 进行的运行：%2").arg(shownTime(*runAt), shown)
              : tr("记录文件中没有温度行：%1").arg(shown));
    return samples;
}

void RunSamples::readLines(
    RecordScan &scan, const ReadProgress &progress, const BeforeLine &beforeLine)
{
    scan.read(kColumns, kRequired, progress, [&](qint64 at, const RowFields &fields) {
        if (fields[Kind] == "lost") {
            breakStretch();
            m_last.reset();
            return true;
        }
        if (fields[Kind] != "line")
            return true;
        const std::optional<PlantSample> line = lineOf(at, fields);
        if (!line) {
            m_run.withoutTemperature += m_inRun ? 1 : 0;
            return true;
        }
        const Moment now{at, number(fields[RunTime])};
        if (clockStepped(now)) {
            if (m_inRun && m_run.clockSteps++ == 0)
                m_run.firstClockStep = at;
            breakStretch();
        }
        m_last = now;
        if (!beforeLine(at, fields))
            return false;
        take(*line);
        return true;
    });
}

std::optional<PlantSample> RunSamples::lineOf(qint64 at, const RowFields &fields)
{
    const std::optional<double> temperature = number(fields[Current]);
    if (!temperature)
        return std::nullopt;
    PlantSample line;
    line.milliseconds = at;
    line.temperature = *temperature;
    // The record keeps the level 0 to 255 as a percentage to two places, which tells it exactly;
    // a percentage beyond the range is no level the console wrote.
    if (const std::optional<double> percent = number(fields[Output]);
        percent && *percent >= 0 && *percent <= 100)
        line.output = std::round(*percent * 2.55);
    line.setPoint = number(fields[Set]);
    line.p = whole(fields[P]);
    line.i = whole(fields[I]);
    line.d = whole(fields[D]);
    return line;
}

/// Time running backwards, or the record's clock and the run time parting: a run time that
/// starts again (a new run) parts from nothing.
bool RunSamples::clockStepped(const Moment &now) const
{
    if (!m_last)
        return false;
    if (now.at < m_last->at)
        return true;
    if (!now.runSeconds || !m_last->runSeconds || *now.runSeconds < *m_last->runSeconds)
        return false;
    const double wall = double(now.at - m_last->at) / 1e3;
    return std::abs(wall - (*now.runSeconds - *m_last->runSeconds)) > kClockStepSeconds;
}

void RunSamples::take(const PlantSample &line)
{
    m_recent.push_back(line);
    while (m_recent.front().milliseconds < line.milliseconds - kLeadInMilliseconds)
        m_recent.pop_front();
    if (!m_inRun)
        return;
    if (m_run.stretches.empty())
        m_run.stretches.emplace_back(m_run.start);
    m_run.stretches.back().take(line);
    m_run.end = line.milliseconds;
}

void RunSamples::startRun(qint64 at)
{
    m_inRun = true;
    m_run = {};
    m_run.start = at;
    if (m_recent.empty())
        return;
    m_run.stretches.emplace_back(at);
    for (const PlantSample &line : m_recent)
        m_run.stretches.back().take(line);
    m_run.leadIn = at - m_recent.front().milliseconds;
}

void RunSamples::breakStretch()
{
    m_recent.clear();
    if (m_inRun && !m_run.stretches.empty() && !m_run.stretches.back().isEmpty())
        m_run.stretches.emplace_back(m_run.start);
}

void RunSamples::finish(const RecordScan &scan, Problem noRun, const QString &noLines)
{
    m_cancelled = scan.isCancelled();
    m_problem = scan.problem();
    m_notes = scan.notes();
    std::size_t leftOut = 0;
    for (FitWindow &window : m_run.stretches) {
        leftOut += window.leftOut();
        if (!window.isEmpty())
            m_stretches.push_back(window.release());
    }
    m_run.stretches.clear();
    if (!scan.isValid()) {
        m_problemKind = m_cancelled ? Problem::None : Problem::Unreadable;
        return;
    }
    if (m_stretches.empty()) {
        m_problem = noLines;
        m_problemKind = noRun;
        return;
    }
    if (m_run.leadIn > 0)
        m_notes.append(tr("也用了运行开始前 %1 s 的行，以知道变化前的状态")
                           .arg(QString::number(m_run.leadIn / 1000.0, 'f', 1)));
    if (m_run.withoutTemperature > 0)
        m_notes.append(tr("有 %1 行的温度（current_c）不是数，未用").arg(m_run.withoutTemperature));
    if (m_run.clockSteps > 0)
        m_notes.append(
            tr("记录的时间有 %1 处倒退或跳变（校时或电脑休眠，第一处在 %2），运行在那里分段")
                .arg(m_run.clockSteps)
                .arg(shownTime(m_run.firstClockStep)));
    if (leftOut > 0)
        m_notes.append(FitWindow::note(leftOut));
}
