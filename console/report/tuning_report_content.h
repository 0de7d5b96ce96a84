#pragma once

#include "records/recorded_plant.h"
#include "records/run_verification.h"
#include "tuning/controller_law.h"
#include "tuning/step_plan.h"
#include "tuning/tuning_advice.h"

#include <QStringList>

#include <optional>

/// Everything a tuning report shows: the run the model came from (its record files, its start,
/// the lines fitted with the model and law check), the law, the step and overshoot limit the
/// advice was for, the candidates with the chosen one, and, where the run was itself started by
/// applying predicted gains, its predicted against measured figures.
struct TuningReportContent
{
    QStringList recordFiles;
    RecordedPlant plant;
    ControllerLaw law;
    StepPlan plan;
    double overshootLimit = TuningAdvice::kDefaultOvershootLimit;
    TuningAdvice advice;
    /// Index into advice.candidates; none when no set was chosen.
    std::optional<std::size_t> chosen;
    std::optional<RunVerification> verification;
};
