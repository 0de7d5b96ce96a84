#include "run_recorder.h"

#include "clock.h"
#include "records/csv_format.h"
#include "records/record_rows.h"
#include "records/run_verification.h"
#include "telemetry/display_format.h"
#include "telemetry/telemetry_receiver.h"
#include "tuning/command_confirmation.h"
#include "window_timer.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace {
const QStringList kRecordColumns{QStringLiteral("time"), QStringLiteral("run_s"),
    QStringLiteral("kind"), QStringLiteral("set_c"), QStringLiteral("current_c"),
    QStringLiteral("output_pct"), QStringLiteral("p"), QStringLiteral("i"), QStringLiteral("d"),
    QStringLiteral("text")};

// Where the milliseconds begin in a time's text.
constexpr qsizetype kMillisecondsAt = 20;

QString degrees(std::optional<qint16> tenths)
{
    return tenths ? QString::number(*tenths / 10.0, 'f', 1) : QString();
}

QString number(std::optional<qint16> value)
{
    return value ? QString::number(*value) : QString();
}

QString percent(std::optional<double> value)
{
    return value ? QString::number(*value, 'f', 2) : QString();
}

/// A figure's run time as a number of seconds, as the run clock shows it.
QString seconds(std::optional<qint64> tenths)
{
    return tenths ? DisplayFormat::runClock(*tenths) : QString();
}

template <typename Value>
void keepIfGiven(std::optional<Value> &kept, const std::optional<Value> &given)
{
    if (given)
        kept = given;
}
} // namespace

/// The values of a row, as the window shows them; empty where there was no valid value.
struct RunRecorder::Values
{
    std::optional<qint16> setTenths;
    std::optional<qint16> currentTenths;
    /// The output level as a percentage.
    std::optional<double> outputPercent;
    std::optional<qint16> p;
    std::optional<qint16> i;
    std::optional<qint16> d;
};

/// A run's prediction, where it had one, comes after what every run has, so that a history
/// written before it still reads.
const QStringList &RunRecorder::runColumns()
{
    static const QStringList columns =
        QStringList{QStringLiteral("start"), QStringLiteral("end"), QStringLiteral("port"),
            QStringLiteral("set_c"), QStringLiteral("p"), QStringLiteral("i"), QStringLiteral("d"),
            QStringLiteral("rise_s"), QStringLiteral("overshoot_pct"), QStringLiteral("peak_s"),
            QStringLiteral("settling_s"), QStringLiteral("highest_c"), QStringLiteral("lines"),
            QStringLiteral("record")}
        + RunVerification::columns();
    return columns;
}

QStringList RunRecorder::runsFileColumns(const QStringList &heading)
{
    const QStringList &columns = runColumns();
    const bool older = heading.size() < columns.size() && columns.mid(0, heading.size()) == heading;
    return older ? columns : heading;
}

bool RunRecorder::isRunsHeading(const QStringList &heading)
{
    const QStringList &columns = runColumns();
    if (heading.isEmpty() || heading.front() != columns.front())
        return false;
    return heading.mid(0, columns.size()) == columns
        || std::all_of(heading.cbegin(), heading.cend(),
            [&columns](const QString &column) { return columns.contains(column); });
}

std::optional<QString> RunRecorder::recordPath(const QString &directory, const QString &name)
{
    // The console names its records after the moment and the port; a separator of either system
    // or a name of the folder itself or its parent is never one of them.
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(u'/') || name.contains(u'\\') || name.contains(QChar(0)))
        return std::nullopt;
    return QDir(directory).filePath(name);
}

RunRecorder::RecordPaths RunRecorder::recordPaths(const QString &directory, const QString &records)
{
    RecordPaths found;
    for (const QString &name : records.split(recordSeparator(), Qt::SkipEmptyParts)) {
        const std::optional<QString> path = recordPath(directory, name);
        if (!path) {
            found.refused = name;
            return found;
        }
        found.paths.append(*path);
    }
    return found;
}

RunRecorder::RunRecorder(std::shared_ptr<const Clock> clock, QObject *parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_flushTimer(new WindowTimer(QStringLiteral("RecordFlush"), kFlushInterval, false, this))
{
    connect(m_flushTimer, &WindowTimer::Timer, this, &RunRecorder::flush);
}

RunRecorder::~RunRecorder()
{
    // Its window may be half gone by now; a failure here has no one left to tell.
    blockSignals(true);
    flush();
}

void RunRecorder::setSettings(const RecordSettings &settings)
{
    m_settings = settings;
}

void RunRecorder::connectionOpened(int port)
{
    flush();
    m_port = port;
    m_failed = false;
    m_file.reset();
    if (!m_settings.enabled)
        return;
    m_file.emplace(
        m_settings.directory, portName(), CsvFormat::row(kRecordColumns), m_rolloverBytes);
    if (const std::optional<QString> error = m_file->open(m_clock->now())) {
        m_file.reset();
        fail(*error);
        return;
    }
    m_flushTimer->setEnabled(true);
    sayWhereRunsGo(locateRuns());
}

void RunRecorder::lineCompleted(const CompletedLine &line)
{
    if (!m_settings.enabled)
        return;
    const TelemetryLine &fields = line.values;
    // The gains as the controller reports them: a slider's range says nothing about them.
    Values values{fields.setTenths, fields.currentTenths, std::nullopt, line.gains.p, line.gains.i,
        line.gains.d};
    if (fields.outputLevel)
        values.outputPercent = DisplayFormat::outputPercent(*fields.outputLevel);
    trackRun(values, line.runFigures);
    if (m_run && m_run->predicted && fields.currentTenths)
        m_run->predicted->follow(line.runTenths, *fields.currentTenths / 10.0,
            fields.setTenths ? std::optional<double>(*fields.setTenths / 10.0) : std::nullopt,
            line.gains);
    appendRow(line.runTenths, QStringLiteral("line"), values, line.text.chopped(2));
}

void RunRecorder::lineDropped(qint64 runTenths, qsizetype length)
{
    appendRow(runTenths, QStringLiteral("dropped"), {}, QString::number(length));
}

void RunRecorder::commandSent(qint64 runTenths, const QString &text)
{
    appendRow(runTenths, QStringLiteral("sent"), {}, text);
}

void RunRecorder::modeSignalled(qint64 runTenths, const QString &signal)
{
    appendRow(runTenths, QStringLiteral("mode"), {}, signal);
}

void RunRecorder::commandChecked(qint64 runTenths, const CommandVerdict &verdict)
{
    if (m_run && m_run->predicted)
        m_run->predicted->commandChecked(verdict.confirmed);
    const CommandFields &shown = verdict.shown;
    appendRow(runTenths,
        verdict.confirmed ? QStringLiteral("confirm") : QStringLiteral("unconfirmed"),
        Values{shown.setTenths, std::nullopt, std::nullopt, shown.p, shown.i, shown.d},
        verdict.sent.commandText());
}

void RunRecorder::runTimeCleared()
{
    // The run's rows go out first, so that its row names every file that holds them.
    flush();
    endRun();
    if (m_settings.enabled)
        startRun();
}

void RunRecorder::linkLost(qint64 runTenths, const QString &reason)
{
    appendRow(runTenths, QStringLiteral("lost"), {}, reason);
    flush();
    // Nothing arrives while the device is away.
    m_flushTimer->setEnabled(false);
}

void RunRecorder::reconnected(qint64 runTenths, const QString &device)
{
    appendRow(runTenths, QStringLiteral("reconnected"), {}, device);
    m_flushTimer->setEnabled(m_file.has_value());
}

void RunRecorder::connectionClosed()
{
    flush();
    endRun();
    m_file.reset();
    m_flushTimer->setEnabled(false);
}

std::optional<QStringList> RunRecorder::runInProgress() const
{
    if (!m_run || m_run->lines == 0 || !m_settings.enabled)
        return std::nullopt;
    RecordedRun run = *m_run;
    if (m_file && !run.records.contains(m_file->fileName()))
        run.records.append(m_file->fileName());
    return runRow(run, QString());
}

void RunRecorder::appendRow(
    qint64 runTenths, const QString &kind, const Values &values, const QString &text)
{
    if (!m_file)
        return;
    m_file->append(
        CsvFormat::row({rowTime(m_clock->now()), DisplayFormat::runClock(runTenths), kind,
            degrees(values.setTenths), degrees(values.currentTenths), percent(values.outputPercent),
            number(values.p), number(values.i), number(values.d), CsvFormat::inertText(text)}));
    if (m_file->pendingBytes() > kLargestPending)
        flush();
}

/// The time of a row as timeText gives it, formatted in full once a second: rows come by the
/// thousand a second in a flood.
QString RunRecorder::rowTime(const QDateTime &moment)
{
    const qint64 milliseconds = moment.toMSecsSinceEpoch();
    const qint64 second = milliseconds >= 0 ? milliseconds / 1000 : (milliseconds - 999) / 1000;
    if (second != m_rowTimeSecond || m_rowTimePrefix.isEmpty()) {
        const QString whole = RecordTimes::text(moment);
        m_rowTimeSecond = second;
        m_rowTimePrefix = whole.left(kMillisecondsAt);
        m_rowTimeSuffix = whole.mid(kMillisecondsAt + 3);
    }
    const int fraction = int(milliseconds - second * 1000);
    QString text = m_rowTimePrefix;
    text.reserve(text.size() + 3 + m_rowTimeSuffix.size());
    for (const int digit : {fraction / 100, fraction / 10 % 10, fraction % 10})
        text += QChar(u'0' + digit);
    return text + m_rowTimeSuffix;
}

void RunRecorder::trackRun(const Values &values, const StepFigures &figures)
{
    if (!m_run)
        startRun();
    RecordedRun &run = *m_run;
    ++run.lines;
    m_runLinesPending = true;
    keepIfGiven(run.p, values.p);
    keepIfGiven(run.i, values.i);
    keepIfGiven(run.d, values.d);
    keepIfGiven(run.setTenths, values.setTenths);
    if (values.currentTenths && (!run.highestTenths || *values.currentTenths > *run.highestTenths))
        run.highestTenths = values.currentTenths;
    run.figures.take(figures);
}

void RunRecorder::runPredicted(const AppliedPrediction &prediction)
{
    if (m_run)
        m_run->predicted.emplace(prediction);
}

void RunRecorder::startRun()
{
    m_run.emplace();
    m_run->start = m_clock->now();
    m_runLinesPending = false;
}

void RunRecorder::endRun()
{
    const std::optional<RecordedRun> run = std::exchange(m_run, std::nullopt);
    if (run && run->lines > 0 && m_settings.enabled)
        writeRunRow(*run);
}

QStringList RunRecorder::runRow(const RecordedRun &run, const QString &end) const
{
    const StepFigures &figures = run.figures;
    const QStringList row{RecordTimes::text(run.start), end, portName(), degrees(run.setTenths),
        number(run.p), number(run.i), number(run.d), seconds(figures.riseTenths),
        percent(figures.overshootPercent), seconds(figures.peakTenths),
        seconds(figures.settlingTenths), degrees(run.highestTenths), QString::number(run.lines),
        run.records.join(recordSeparator())};
    return row
        + (run.predicted ? run.predicted->verification().cells()
                         : QStringList(RunVerification::columns().size(), QString()));
}

void RunRecorder::writeRunRow(const RecordedRun &run)
{
    const RunsFileTail::Located runs = locateRuns();
    // Cell by cell under the file's own heading, which a table cut down may have reordered.
    const QStringList row = runRow(run, RecordTimes::text(m_clock->now()));
    QStringList cells;
    for (const QString &column : runs.columns)
        cells.append(row.value(runColumns().indexOf(column)));
    if (const std::optional<QString> error = RecordFile::appendRows(
            runs.path, CsvFormat::row(runColumns()), CsvFormat::row(cells))) {
        fail(*error);
        return;
    }
    sayWhereRunsGo(runs);
}

/// Once for each file, as soon as it is known: at the connection, so that the notice stands
/// while its lines arrive, or at the run's row when the table was put there since.
void RunRecorder::sayWhereRunsGo(const RunsFileTail::Located &runs)
{
    if (!runs.foreign.isEmpty() && std::exchange(m_runsFileSaid, runs.path) != runs.path)
        emit runsFileElsewhere(
            QFileInfo(runs.foreign.front()).fileName(), QFileInfo(runs.path).fileName());
}

RunsFileTail::Located RunRecorder::locateRuns() const
{
    return RunsFileTail::locate(QDir(m_settings.directory).filePath(runsFileName()));
}

void RunRecorder::flush()
{
    if (!m_file)
        return;
    const bool runLinesPending = std::exchange(m_runLinesPending, false);
    const QString before = m_file->fileName();
    const RecordFile::Flushed flushed = m_file->flush(m_clock->now());
    if (flushed.restarted && m_run && !QDir(m_settings.directory).exists(before))
        m_run->records.removeAll(before);
    if (flushed.error) {
        m_file.reset();
        m_flushTimer->setEnabled(false);
        fail(*flushed.error);
        return;
    }
    if (m_run && runLinesPending && !m_run->records.contains(m_file->fileName()))
        m_run->records.append(m_file->fileName());
    if (flushed.restarted)
        emit recordRestarted(m_file->fileName());
}

void RunRecorder::fail(const QString &reason)
{
    if (std::exchange(m_failed, true))
        return;
    emit recordingFailed(reason);
}

QString RunRecorder::portName() const
{
    return QStringLiteral("COM%1").arg(m_port);
}
