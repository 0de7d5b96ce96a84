#pragma once

#include <QtGlobal>

#include <vector>

/// A unit-gain first-order lag with dead time driven by a sampled input, as a record gives it:
/// each sample's input held over the half-intervals around it, from midway after the sample
/// before to midway before the next (a line reports the output of one moment, and the
/// controller changes it many times between lines; held over the interval before, θ read long
/// by half an interval). Exact between the switches, so the response is smooth in its time
/// constant and dead time. Times are whole milliseconds, as records keep them.
namespace FirstOrderResponse {
/// The response at each sample time, from rest at the resting input, which was applied until
/// the first sample.
std::vector<double> atSamples(const std::vector<qint64> &milliseconds,
    const std::vector<double> &input, double timeConstant, double deadTime, double restingInput);
/// exp(-t / time constant) at each sample, t from the first.
std::vector<double> decayFromFirst(const std::vector<qint64> &milliseconds, double timeConstant);
} // namespace FirstOrderResponse
