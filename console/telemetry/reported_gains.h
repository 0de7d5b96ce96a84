#pragma once

#include "telemetry/parameter_ranges.h"
#include "telemetry/telemetry_line.h"

#include <optional>

/// P, I and D as the controller's lines report them, over the range its parameter command takes:
/// what the record, the command check and the advice take, whatever a slider can show.
struct ReportedGains
{
    std::optional<qint16> p;
    std::optional<qint16> i;
    std::optional<qint16> d;

    /// A line's gains; a field outside the command's range, or no number, is none.
    static ReportedGains of(const TelemetryLine &values)
    {
        using ParameterRanges::kCommandGain;
        return {kCommandGain.accepted(values.p), kCommandGain.accepted(values.i),
            kCommandGain.accepted(values.d)};
    }

    /// What a line reported replaces what was held; a gain it did not report stays.
    void take(const ReportedGains &reported)
    {
        for (auto gain : {&ReportedGains::p, &ReportedGains::i, &ReportedGains::d}) {
            if (reported.*gain)
                this->*gain = reported.*gain;
        }
    }

    bool operator==(const ReportedGains &other) const
    {
        return p == other.p && i == other.i && d == other.d;
    }
    bool operator!=(const ReportedGains &other) const { return !(*this == other); }
};
