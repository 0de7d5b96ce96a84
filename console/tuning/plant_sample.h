#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

/// One telemetry line of a run as the plant saw it: when it came, the temperature measured, the
/// output level (0 to 255) the controller applied over the interval before it, the set point
/// and the gains it showed; what the line did not carry is empty.
struct PlantSample
{
    qint64 milliseconds = 0;
    double temperature = 0.0;
    std::optional<double> output;
    std::optional<double> setPoint;
    std::optional<int> p;
    std::optional<int> i;
    std::optional<int> d;
};

/// Lines of a run with no break in the link between them.
using PlantStretch = std::vector<PlantSample>;
