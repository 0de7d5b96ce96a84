#pragma once

#include "records/read_progress.h"
#include "records/run_samples.h"
#include "tuning/advice_start.h"
#include "tuning/controller_law.h"
#include "tuning/gain_set.h"
#include "tuning/law_check.h"
#include "tuning/plant_model.h"
#include "tuning/plant_sample.h"

#include <QString>
#include <QStringList>

#include <optional>

/// A recorded run's plant: its lines read from the record, a model fitted to them and the
/// controller's law checked against them, or why there is no model. Reading and fitting report
/// to one progress, the fit counted as half the reading.
struct RecordedPlant
{
    /// Why there is no model, in the window's language: the record could not be read, or the
    /// lines cannot tell the plant.
    QString refusal;
    /// What kept the run's lines from being read, where that was the reason.
    RunSamples::Problem readProblem = RunSamples::Problem::None;
    bool cancelled = false;
    /// What reading and fitting left out or took from before the run.
    QStringList notes;
    std::optional<PlantModel> model;
    /// The lines fitted, for drawing the model over them.
    PlantStretch fitted;
    std::optional<LawCheck> lawCheck;
    /// The run's first line, in milliseconds since the epoch.
    qint64 runStart = 0;

    /// The gains the last line fitted showed: what a step from the run's end starts under.
    std::optional<GainSet> lastGains() const;
    /// The step the run itself made: from the temperature of its first line to the set point
    /// given, or its last line's; none where no line of the run was fitted.
    std::optional<AdviceStart> stepOfRun(std::optional<double> setPoint) const;

    /// The run of a runs.csv row, its columns named by heading, from its record files.
    static RecordedPlant ofRun(const QString &directory, const QStringList &heading,
        const QStringList &run, const ControllerLaw &law, const ReadProgress &progress = {});
    /// The run of a record file in progress at a moment, or its longest run.
    static RecordedPlant ofRecord(const QString &path, std::optional<qint64> runAt,
        const ControllerLaw &law, const ReadProgress &progress = {});
};
