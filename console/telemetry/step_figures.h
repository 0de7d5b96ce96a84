#pragma once

#include <QtGlobal>

#include <optional>

/// The four step-response figures as numbers: the times are the run time they were stamped
/// with, in tenths of a second, the overshoot a percentage to the two decimals it is shown
/// with. A figure not stamped is empty. The boxes and the records format them.
struct StepFigures
{
    std::optional<qint64> riseTenths;
    std::optional<double> overshootPercent;
    std::optional<qint64> peakTenths;
    std::optional<qint64> settlingTenths;

    /// Takes every figure the other holds, keeping the rest.
    void take(const StepFigures &stamped)
    {
        const auto keep = [](auto &kept, const auto &given) {
            if (given)
                kept = given;
        };
        keep(riseTenths, stamped.riseTenths);
        keep(overshootPercent, stamped.overshootPercent);
        keep(peakTenths, stamped.peakTenths);
        keep(settlingTenths, stamped.settlingTenths);
    }
    bool operator==(const StepFigures &other) const
    {
        return riseTenths == other.riseTenths && overshootPercent == other.overshootPercent
            && peakTenths == other.peakTenths && settlingTenths == other.settlingTenths;
    }
};
