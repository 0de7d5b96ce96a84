#pragma once

#include "records/predicted_run.h"
#include "records/record_file.h"
#include "records/record_settings.h"
#include "records/runs_file_tail.h"
#include "telemetry/step_figures.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class Clock;
class WindowTimer;
struct CommandVerdict;
struct CompletedLine;

/// A run as far as it went: when it started, its lines, the record files they went to, and
/// what its own lines showed, never what an earlier run left in the window.
struct RecordedRun
{
    QDateTime start;
    qint64 lines = 0;
    QStringList records;
    std::optional<qint16> p;
    std::optional<qint16> i;
    std::optional<qint16> d;
    std::optional<qint16> setTenths;
    std::optional<qint16> highestTenths;
    StepFigures figures;
    /// Started with predicted gains: what its lines show against the prediction.
    std::optional<PredictedRun> predicted;
};

/// Keeps every connection in a CSV record (each line, each command sent, each mode signal, each
/// dropped line) and every tuning run as a row of runs.csv beside the records. A failure never
/// stops the console: it is reported and recording rests until the next connection.
class RunRecorder : public QObject
{
    Q_OBJECT

public:
    static constexpr int kFlushInterval = 1000;
    /// Rows held in memory before they go to disk whatever the timer says.
    static constexpr qint64 kLargestPending = 64 * 1024;
    static QString runsFileName() { return QStringLiteral("runs.csv"); }
    /// The columns of runs.csv.
    static const QStringList &runColumns();
    /// The columns of a runs.csv file, by its heading: a history begun before the newer columns
    /// has rows written since that carry them after the older ones.
    static QStringList runsFileColumns(const QStringList &heading);
    /// The heading is the console's: it begins with the run's start and names only the console's
    /// columns (an older console's stops short of the newer ones, a table cut down keeps some),
    /// or it begins with all of today's (a newer console's adds its own after them).
    static bool isRunsHeading(const QStringList &heading);
    /// Several record files of one run are named in one cell, separated by this.
    static QChar recordSeparator() { return u';'; }
    /// A record file named in runs.csv as a path in the records folder; none for anything but a
    /// plain file name, so that a history written by someone else cannot lead out of the folder.
    static std::optional<QString> recordPath(const QString &directory, const QString &name);
    /// A runs.csv row's record cell as paths in the folder, or the first name that is none.
    struct RecordPaths
    {
        QStringList paths;
        QString refused;
    };
    static RecordPaths recordPaths(const QString &directory, const QString &records);

    RunRecorder(std::shared_ptr<const Clock> clock, QObject *parent);
    ~RunRecorder() override;

    void setSettings(const RecordSettings &settings);
    const RecordSettings &settings() const { return m_settings; }
    /// For tests: a record file continues in a new one past this size.
    void setRolloverBytes(qint64 bytes) { m_rolloverBytes = bytes; }

    void connectionOpened(int port);
    /// Rows are stamped with the run time in tenths of a second, as the run clock shows it.
    void lineCompleted(const CompletedLine &line);
    /// An overlong line of this many characters was dropped unread.
    void lineDropped(qint64 runTenths, qsizetype length);
    void commandSent(qint64 runTenths, const QString &text);
    void modeSignalled(qint64 runTenths, const QString &signal);
    /// What became of a parameter command: a row of kind confirm or unconfirmed holding the
    /// fields sent in the controller's form as its text and what the lines showed of them in
    /// its value columns, so that a script reads both sides in any window language.
    void commandChecked(qint64 runTenths, const CommandVerdict &verdict);
    /// The run time was cleared: the run so far ends and the next one starts now.
    void runTimeCleared();
    /// The run just started carries a prediction, which its row sets beside what it measured.
    void runPredicted(const AppliedPrediction &prediction);
    /// The device went and its return is awaited: the record is written out up to a `lost` row
    /// holding the reason, and the record and the run stay open across the gap.
    void linkLost(qint64 runTenths, const QString &reason);
    /// The same device is open again: a `reconnected` row naming it, in the same record and run.
    void reconnected(qint64 runTenths, const QString &device);
    /// Disconnect, a lost device not awaited, giving up a wait, or exit: the record is written
    /// out and the run ends.
    void connectionClosed();
    /// The run in progress as a row of runs.csv with its end left empty; none before its first
    /// line.
    std::optional<QStringList> runInProgress() const;

signals:
    void recordingFailed(const QString &reason);
    /// The record file had gone from its folder; recording went on in a new one.
    void recordRestarted(const QString &fileName);
    /// The runs file's name holds someone else's table, so the runs go to a file of their own
    /// beside it; said once for each file.
    void runsFileElsewhere(const QString &foreignName, const QString &fileName);

private:
    struct Values;
    void appendRow(
        qint64 runTenths, const QString &kind, const Values &values, const QString &text);
    QString rowTime(const QDateTime &moment);
    void trackRun(const Values &values, const StepFigures &figures);
    void startRun();
    void endRun();
    QStringList runRow(const RecordedRun &run, const QString &end) const;
    void writeRunRow(const RecordedRun &run);
    RunsFileTail::Located locateRuns() const;
    void sayWhereRunsGo(const RunsFileTail::Located &runs);
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
    /// Lines of the run wait in memory: the file the next flush writes is one of the run's.
    bool m_runLinesPending = false;
    /// The runs file last said to stand in for a file of someone else's.
    QString m_runsFileSaid;
    qint64 m_rowTimeSecond = 0;
    QString m_rowTimePrefix;
    QString m_rowTimeSuffix;
};
