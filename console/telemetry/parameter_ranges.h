#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

/// The range of one slider: a value outside it is refused, and the slider keeps its own.
struct ParameterRange
{
    qint16 minimum = 0;
    qint16 maximum = 0;

    constexpr std::optional<qint16> accepted(std::optional<qint16> value) const
    {
        if (value && *value >= minimum && *value <= maximum)
            return value;
        return std::nullopt;
    }
};

/// The six sliders' ranges, defined here alone: the window gives its sliders these ranges at
/// start-up, and a received value outside its range leaves its slider as it was.
namespace ParameterRanges {
/// The set temperature in whole degrees.
constexpr ParameterRange kTarget{0, 100};
constexpr ParameterRange kDead{0, 100};
constexpr ParameterRange kAlarm{0, 100};
constexpr ParameterRange kP{0, 100};
constexpr ParameterRange kI{0, 100};
constexpr ParameterRange kD{0, 100};
/// In the sliders' order, HScroll1_0 to HScroll1_5.
constexpr std::array<ParameterRange, 6> kSliders{kTarget, kDead, kAlarm, kP, kI, kD};
/// P, I and D as the parameter command sends them, three digits each: what the controller can
/// hold and so report, beyond what the sliders show.
constexpr ParameterRange kCommandGain{0, 999};
} // namespace ParameterRanges
