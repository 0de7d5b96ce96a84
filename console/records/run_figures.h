#pragma once

#include "telemetry/step_figures.h"

#include <QString>
#include <QStringList>

/// A run's four figures as runs.csv holds them, set beside another run's.
namespace RunFigures {
/// A row of runs.csv, its columns named by heading; a figure the row left empty stays empty.
StepFigures fromRow(const QStringList &heading, const QStringList &run);
/// How one run's figures differ from the other's, the one's less the other's, for each figure
/// both have: "上升时间 +3.0 s，超调量 −2.1 %"; empty when none can be compared.
QString difference(const StepFigures &one, const StepFigures &other);
} // namespace RunFigures
