#pragma once

#include "records/run_verification.h"
#include "tuning/applied_prediction.h"
#include "tuning/plant_sample.h"

/// A run started with predicted gains, followed line by line over the prediction's span: what
/// the lines measured set beside what was predicted.
class PredictedRun
{
public:
    explicit PredictedRun(AppliedPrediction prediction);

    /// A line at its run time, with the set point it showed.
    void follow(qint64 runTenths, double temperature, std::optional<double> setPoint);
    RunVerification verification() const;
    const AppliedPrediction &prediction() const { return m_prediction; }

private:
    AppliedPrediction m_prediction;
    PlantStretch m_lines;
    std::optional<double> m_firstTemperature;
    /// After the span, while the set point stayed the step's: the temperature left the band.
    bool m_leftBandAfterSpan = false;
};
