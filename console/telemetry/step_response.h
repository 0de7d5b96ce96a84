#pragma once

#include <QString>

#include <optional>

/// The step-response figures one completed line changes: a text for each box that changes,
/// with the run time stamped as seconds followed by "s".
struct StepResponseUpdate
{
    std::optional<QString> riseTime;
    std::optional<QString> overshoot;
    std::optional<QString> peakTime;
    std::optional<QString> settlingTime;
    /// The set temperature was reached on this line for the first time in the run.
    bool reached = false;
};

/// Rise time, overshoot, peak time and settling time (a band of ±5 %), derived line by line
/// from the current and set temperature in tenths and stamped with the run-time text.
namespace StepResponse {
/// shownOvershoot is the number the overshoot box shows in front of its "%", if any: a new
/// overshoot replaces it only when larger.
StepResponseUpdate update(int currentTenths, int setTenths, bool reachPending,
    const QString &runTime, std::optional<double> shownOvershoot);
/// The number a box shows in front of its "%", or nothing when it holds no percentage.
std::optional<double> shownPercentage(const QString &text);
} // namespace StepResponse
