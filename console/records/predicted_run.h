#pragma once

#include "records/run_verification.h"
#include "telemetry/reported_gains.h"
#include "tuning/applied_prediction.h"
#include "tuning/plant_sample.h"

#include <optional>

/// A run started with predicted gains, followed line by line over the prediction's span: what
/// the lines measured set beside what was predicted, and whether the run tested the prediction
/// at all (the gains taken and kept, the step made, the rise seen and past its peak).
class PredictedRun
{
public:
    explicit PredictedRun(AppliedPrediction prediction);

    /// A line at its run time, with the set point and gains it showed.
    void follow(qint64 runTenths, double temperature, std::optional<double> setPoint,
        const ReportedGains &gains);
    /// The controller's answer to the command that made the step; later ones say nothing of it.
    void commandChecked(bool confirmed);
    RunVerification verification() const;
    const AppliedPrediction &prediction() const { return m_prediction; }

private:
    void followGains(const ReportedGains &gains);
    std::optional<RunVerification::Untested> untested() const;
    /// When the prediction comes within a hundredth of the step of its furthest: past this the
    /// measured overshoot is the run's.
    qint64 predictedPeakMilliseconds() const;
    /// The furthest the lines went towards the target, as a share of the step.
    double progress() const;

    AppliedPrediction m_prediction;
    PlantStretch m_lines;
    std::optional<double> m_firstTemperature;
    /// After the span, while the set point stayed the step's: the temperature left the band.
    bool m_leftBandAfterSpan = false;
    std::optional<bool> m_confirmed;
    bool m_gainsTaken = false;
    bool m_gainsChanged = false;
    qint64 m_longestGap = 0;
};
