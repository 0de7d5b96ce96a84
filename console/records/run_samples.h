#pragma once

#include "records/read_progress.h"
#include "tuning/fit_window.h"
#include "tuning/plant_sample.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

class RecordScan;
class RowFields;

/// A run's lines as the plant saw them, read from its record for fitting a model: in stretches
/// with no lost link between them and no step of the clock (time running backwards, or the
/// record's time moving on from the run time by more than kClockStepSeconds: a clock set, a
/// computer asleep), led in by up to a minute of the lines before the run in the same record. A
/// step test clears the run time at its step, and a fit needs the state the step started from.
/// Each stretch holds only the lines a fit takes of it (FitWindow), however long the run.
class RunSamples
{
    Q_DECLARE_TR_FUNCTIONS(RunSamples)

public:
    static constexpr qint64 kLeadInMilliseconds = 60'000;
    /// The record's time and the run time that part by more than this between two lines: the
    /// clock was set, or the computer slept. The run time counts the console's ticks, which a
    /// busy console delivers late, but never seconds late.
    static constexpr double kClockStepSeconds = 10.0;

    /// Why there are no lines: the files could not be read, no run was in progress at the
    /// moment asked for, or the run has no line with a temperature.
    enum class Problem { None, Unreadable, NoSuchRun, NoLines };

    /// The run of a runs.csv row, its columns named by heading, from its record files.
    static RunSamples ofRun(const QString &directory, const QStringList &heading,
        const QStringList &run, const ReadProgress &progress = {});
    /// The run of one record file in progress at a moment in milliseconds since the epoch, or
    /// starting within a second after it; without a moment, the record's longest run. A run
    /// ends where the run time falls. The file is read once, holding only the runs it compares.
    static RunSamples ofRecord(
        const QString &path, std::optional<qint64> runAt, const ReadProgress &progress = {});

    bool isValid() const { return m_problem.isEmpty() && !m_cancelled; }
    Problem problemKind() const { return m_problemKind; }
    bool isCancelled() const { return m_cancelled; }
    /// Why there are no lines to fit, in the window's language.
    const QString &problem() const { return m_problem; }
    /// What was left out of the record, and the lines taken from before the run.
    const QStringList &notes() const { return m_notes; }
    /// The run's first line, in milliseconds since the epoch.
    qint64 runStart() const { return m_run.start; }
    const std::vector<PlantStretch> &stretches() const { return m_stretches; }

private:
    struct Run
    {
        qint64 start = 0;
        qint64 end = 0;
        /// The lines from before the run, in milliseconds.
        qint64 leadIn = 0;
        std::vector<FitWindow> stretches;
        /// Where the clock stepped within the run: how often, and the first time.
        int clockSteps = 0;
        qint64 firstClockStep = 0;
        /// Lines of the run whose temperature is no finite number.
        qint64 withoutTemperature = 0;
        /// The run time of its last line, where the record has one.
        std::optional<double> runSeconds;
        bool isEmpty() const { return stretches.empty(); }
        /// How long it lasted: by the run time, which no setting of the clock moves.
        double seconds() const { return runSeconds.value_or(double(end - start) / 1e3); }
    };
    /// The last line taken: when it came, by the record's clock and by the run time.
    struct Moment
    {
        qint64 at = 0;
        std::optional<double> runSeconds;
    };

    /// Told of each line before it is taken, to start a run there; returns false to stop.
    using BeforeLine = std::function<bool(qint64 at, const RowFields &fields)>;
    /// The record's lines taken, a lost link splitting them.
    void readLines(RecordScan &scan, const ReadProgress &progress, const BeforeLine &beforeLine);
    /// The plant's sample of a row, when it is a line with a temperature.
    static std::optional<PlantSample> lineOf(qint64 at, const RowFields &fields);
    /// Whether the clock stepped between the last line and this one.
    bool clockStepped(const Moment &now) const;
    void take(const PlantSample &line);
    void startRun(qint64 at);
    /// The stretch ends: a lost link, or a step of the clock.
    void breakStretch();
    void finish(const RecordScan &scan, Problem noRun, const QString &noLines);

    Run m_run;
    std::vector<PlantStretch> m_stretches;
    std::optional<Moment> m_last;
    /// The latest lines since the link was last lost, a minute of them at most.
    std::deque<PlantSample> m_recent;
    bool m_inRun = false;
    QString m_problem;
    Problem m_problemKind = Problem::None;
    QStringList m_notes;
    bool m_cancelled = false;
};
