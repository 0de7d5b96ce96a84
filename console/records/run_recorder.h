#pragma once

#include "record_file.h"
#include "record_settings.h"

#include <QDateTime>
#include <QObject>

#include <memory>
#include <optional>

class Clock;
class WindowTimer;

/// The values a completed line brought, as the window shows them; empty where the line had no
/// valid value.
struct RecordedValues
{
    std::optional<qint16> setTenths;
    std::optional<qint16> currentTenths;
    /// The output level as a percentage.
    std::optional<double> outputPercent;
    std::optional<qint16> p;
    std::optional<qint16> i;
    std::optional<qint16> d;
};

/// What the window shows at the end of a run, for its row in the run history. The times are
/// the figures' texts, run time followed by "s".
struct RunFigures
{
    qint16 setTenths = 0;
    qint16 highestTenths = 0;
    QString riseTime;
    std::optional<double> overshoot;
    QString peakTime;
    QString settlingTime;
};

/// A run as far as it went: when it started, its lines, and the last gains they carried.
struct RecordedRun
{
    QDateTime start;
    qint64 lines = 0;
    QString recordName;
    std::optional<qint16> p;
    std::optional<qint16> i;
    std::optional<qint16> d;
};

/// Keeps every connection in a CSV record (each line, each command sent, each mode signal) and
/// every tuning run as a row of runs.csv beside the records. A failure never stops the console:
/// it is reported once and recording rests until the next connection.
class RunRecorder : public QObject
{
    Q_OBJECT

public:
    static constexpr int kFlushInterval = 1000;
    /// Rows held in memory before they go to disk whatever the timer says.
    static constexpr qint64 kLargestPending = 64 * 1024;
    static QString runsFileName() { return QStringLiteral("runs.csv"); }

    RunRecorder(std::shared_ptr<const Clock> clock, QObject *parent);
    ~RunRecorder() override;

    void setSettings(const RecordSettings &settings);
    const RecordSettings &settings() const { return m_settings; }
    /// For tests: a record file continues in a new one past this size.
    void setRolloverBytes(qint64 bytes) { m_rolloverBytes = bytes; }

    void connectionOpened(int port);
    void lineCompleted(const QString &runTime, const RecordedValues &values, const QString &text);
    void commandSent(const QString &runTime, const QString &text);
    void modeSignalled(const QString &runTime, const QString &signal);
    /// The run time was cleared: the run so far ends and the next one starts now.
    void runTimeCleared(const RunFigures &figures);
    /// Disconnect, a lost device or exit: the record is written out and the run ends.
    void connectionClosed(const RunFigures &figures);

signals:
    void recordingFailed(const QString &reason);

private:
    void appendRow(const QString &runTime, const QString &kind, const RecordedValues &values,
        const QString &text);
    void trackRun(const RecordedValues &values);
    void startRun();
    void endRun(const RunFigures &figures);
    void writeRunRow(const RecordedRun &run, const RunFigures &figures);
    void flush();
    void fail(const QString &reason);
    QString portName() const;

    std::shared_ptr<const Clock> m_clock;
    RecordSettings m_settings;
    qint64 m_rolloverBytes = RecordFile::kRolloverBytes;
    WindowTimer *m_flushTimer;
    int m_port = 0;
    std::optional<RecordFile> m_file;
    bool m_failed = false;
    std::optional<RecordedRun> m_run;
};
