#pragma once

#include "chart_overlay.h"
#include "tuning/applied_prediction.h"

#include <QCoreApplication>
#include <QStringList>

class RunCurve;

/// An earlier run as the chart draws it over the live one: its curve read from its record, and
/// a legend naming its start, set temperature and gains.
class RunOverlay
{
    Q_DECLARE_TR_FUNCTIONS(RunOverlay)

public:
    /// run is a row of runs.csv in RunRecorder::runColumns() order.
    static ChartOverlay fromCurve(const RunCurve &curve, const QStringList &run);
    /// The predicted curve of a run started with predicted gains, dashed by breaks in it, so
    /// that it reads as a prediction beside the runs drawn whole.
    static ChartOverlay fromPrediction(const AppliedPrediction &prediction);
    /// "12-08 09:30:05 · 设定 60.0 ℃ · P 10 I 5 D 2"; a value the row lacks is left out.
    static QString legend(const QStringList &run);
};
