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

    /// A line at its run time.
    void follow(qint64 runTenths, double temperature);
    RunVerification verification() const;
    const AppliedPrediction &prediction() const { return m_prediction; }

private:
    AppliedPrediction m_prediction;
    PlantStretch m_lines;
};
