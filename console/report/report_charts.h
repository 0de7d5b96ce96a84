#pragma once

#include "records/recorded_plant.h"
#include "tuning/step_plan.h"
#include "tuning/tuning_advice.h"

#include <QCoreApplication>
#include <QImage>

#include <cstddef>
#include <optional>

/// The tuning report's pictures, drawn without widgets so that a report can be written where no
/// window is open: the run the model was fitted to, and what each candidate is predicted to do.
class ReportCharts
{
    Q_DECLARE_TR_FUNCTIONS(ReportCharts)

public:
    static constexpr int kWidth = 900;
    static constexpr int kHeight = 360;

    /// The set point (dashed), the recorded temperature and the model's curve over it, the
    /// output on a right-hand axis, and below them what the record and the model differ by.
    static QImage runCurves(const RecordedPlant &plant);
    /// Each candidate's predicted temperature, the chosen one thick, with the target dashed and
    /// its ±0.5 °C band; seconds count from the step.
    static QImage candidateCurves(
        const TuningAdvice &advice, std::optional<std::size_t> chosen, const StepPlan &plan);
};
