#pragma once

#include "tuning/applied_prediction.h"
#include "tuning/controller_law.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

/// Whether a step started now begins where its prediction began: a prediction made from another
/// temperature says nothing about this step, and holding the run to it would blame the model for
/// a step that never happened.
class PredictionStart
{
    Q_DECLARE_TR_FUNCTIONS(PredictionStart)

public:
    /// A start this share of the step away moves the step's IAE by about as much: half of what
    /// a verification lets pass (RunVerification::kIaeGate), so the check still means something.
    static constexpr double kStepShare = 0.1;
    /// A loop resting at its set point wanders a few tenths about it; a small step is not
    /// refused for that.
    static constexpr double kLeastDistance = 1.0;

    /// The temperature now, none before a line brought one.
    PredictionStart(const StepPlan &plan, std::optional<double> now);

    /// How far from the prediction's start the step may begin.
    double distance() const;
    bool holds() const;
    /// Why a run started now is not checked against the prediction; empty while it holds.
    QString note() const;

    /// The same model, gains, target and resting gains predicted again from the temperature now.
    static AppliedPrediction from(
        const AppliedPrediction &applied, double now, const ControllerLaw &law);
    /// What a prediction made again says, briefly: where from, overshoot, settling and IAE.
    static QString predictedAgain(const AppliedPrediction &applied);

private:
    double m_from = 0.0;
    double m_to = 0.0;
    std::optional<double> m_now;
};
