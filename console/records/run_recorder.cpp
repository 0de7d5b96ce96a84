#include "run_recorder.h"

#include "clock.h"
#include "csv_format.h"
#include "window_timer.h"

#include <QDir>
#include <QFile>

namespace {
const QStringList kRecordColumns{QStringLiteral("time"), QStringLiteral("run_s"),
    QStringLiteral("kind"), QStringLiteral("set_c"), QStringLiteral("current_c"),
    QStringLiteral("output_pct"), QStringLiteral("p"), QStringLiteral("i"), QStringLiteral("d"),
    QStringLiteral("text")};
const QStringList kRunColumns{QStringLiteral("start"), QStringLiteral("end"),
    QStringLiteral("port"), QStringLiteral("set_c"), QStringLiteral("p"), QStringLiteral("i"),
    QStringLiteral("d"), QStringLiteral("rise_s"), QStringLiteral("overshoot_pct"),
    QStringLiteral("peak_s"), QStringLiteral("settling_s"), QStringLiteral("highest_c"),
    QStringLiteral("lines"), QStringLiteral("record")};

QString timeText(const QDateTime &moment)
{
    return moment.toLocalTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

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

/// A figure's text as a number of seconds: "12.3s" gives 12.3.
QString seconds(const QString &figure)
{
    return figure.endsWith(u's') ? figure.chopped(1) : figure;
}
} // namespace

RunRecorder::RunRecorder(std::shared_ptr<const Clock> clock, QObject *parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_flushTimer(new WindowTimer(QStringLiteral("RecordFlush"), kFlushInterval, false, this))
{
    connect(m_flushTimer, &WindowTimer::Timer, this, &RunRecorder::flush);
}

RunRecorder::~RunRecorder()
{
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
}

void RunRecorder::lineCompleted(
    const QString &runTime, const RecordedValues &values, const QString &text)
{
    if (!m_settings.enabled)
        return;
    trackRun(values);
    appendRow(runTime, QStringLiteral("line"), values, text);
}

void RunRecorder::commandSent(const QString &runTime, const QString &text)
{
    appendRow(runTime, QStringLiteral("sent"), {}, text);
}

void RunRecorder::modeSignalled(const QString &runTime, const QString &signal)
{
    appendRow(runTime, QStringLiteral("mode"), {}, signal);
}

void RunRecorder::runTimeCleared(const RunFigures &figures)
{
    endRun(figures);
    if (m_settings.enabled)
        startRun();
}

void RunRecorder::connectionClosed(const RunFigures &figures)
{
    flush();
    endRun(figures);
    m_file.reset();
    m_flushTimer->setEnabled(false);
}

void RunRecorder::appendRow(
    const QString &runTime, const QString &kind, const RecordedValues &values, const QString &text)
{
    if (!m_file)
        return;
    m_file->append(CsvFormat::row({timeText(m_clock->now()), runTime, kind,
        degrees(values.setTenths), degrees(values.currentTenths), percent(values.outputPercent),
        number(values.p), number(values.i), number(values.d), text}));
    if (m_file->pendingBytes() > kLargestPending)
        flush();
}

void RunRecorder::trackRun(const RecordedValues &values)
{
    if (!m_run)
        startRun();
    RecordedRun &run = *m_run;
    if (run.lines++ == 0 && m_file)
        run.recordName = m_file->fileName();
    run.p = values.p ? values.p : run.p;
    run.i = values.i ? values.i : run.i;
    run.d = values.d ? values.d : run.d;
}

void RunRecorder::startRun()
{
    m_run.emplace();
    m_run->start = m_clock->now();
}

void RunRecorder::endRun(const RunFigures &figures)
{
    const std::optional<RecordedRun> run = std::exchange(m_run, std::nullopt);
    if (run && run->lines > 0 && m_settings.enabled)
        writeRunRow(*run, figures);
}

void RunRecorder::writeRunRow(const RecordedRun &run, const RunFigures &figures)
{
    QFile runs(QDir(m_settings.directory).filePath(runsFileName()));
    const bool fresh = !runs.exists() || runs.size() == 0;
    const QString row = CsvFormat::row(
        {timeText(run.start), timeText(m_clock->now()), portName(), degrees(figures.setTenths),
            number(run.p), number(run.i), number(run.d), seconds(figures.riseTime),
            percent(figures.overshoot), seconds(figures.peakTime), seconds(figures.settlingTime),
            degrees(figures.highestTenths), QString::number(run.lines), run.recordName});
    const QByteArray bytes = ((fresh ? CsvFormat::row(kRunColumns) : QString()) + row).toUtf8();
    if (!QDir().mkpath(m_settings.directory) || !runs.open(QIODevice::Append)
        || runs.write(bytes) != bytes.size() || !runs.flush())
        fail(QStringLiteral("%1: %2").arg(
            QDir::toNativeSeparators(runs.fileName()), runs.errorString()));
}

void RunRecorder::flush()
{
    if (!m_file)
        return;
    if (const std::optional<QString> error = m_file->flush(m_clock->now())) {
        m_file.reset();
        m_flushTimer->setEnabled(false);
        fail(*error);
    }
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
