#include "time_ticks.h"

#include "sample_history.h"

#include <algorithm>
#include <array>

namespace {
// In tenths of a second.
constexpr std::array<qint64, 18> kSteps{10, 20, 50, 100, 150, 300, 600, 1200, 3000, 6000, 9000,
    18000, 36000, 72000, 108000, 216000, 432000, 864000};
} // namespace

qint64 TimeTicks::step(qint64 span, qint32 ticks)
{
    const qint64 intervals = std::max(ticks - 1, 0);
    for (const qint64 step : kSteps) {
        if (span / step <= intervals)
            return step;
    }
    // Beyond the steps: whole days.
    const qint64 day = kSteps.back();
    return (span / std::max<qint64>(intervals, 1) / day + 1) * day;
}

std::vector<TimeTicks::Tick> TimeTicks::place(
    const SampleHistory &history, qint64 first, qint32 across, qint32 columns, qint32 gap)
{
    std::vector<Tick> ticks;
    const qint64 from = std::max(first, history.first());
    const qint64 to = std::min(first + across, history.end());
    if (from >= to || columns <= 0)
        return ticks;
    const qint64 earliest = history.at(from).stamp;
    const qint64 latest = history.at(to - 1).stamp;
    const qint64 every = step(latest - earliest, std::max(columns / std::max(gap, 1), 1));
    // The first whole step at or after the earliest, rounding towards plus infinity.
    qint64 time = earliest >= 0 ? (earliest + every - 1) / every * every : earliest / every * every;
    for (; time <= latest; time += every) {
        const qint64 index = history.firstStampedFrom(from, to, time);
        if (index == to)
            break;
        // A time inside a pause has no sample of its own to mark.
        if (history.at(index).stamp - time > std::max<qint64>(every / 10, 1))
            continue;
        const qint32 column = SampleHistory::columnOf(index - first, across, columns);
        if (!ticks.empty() && column - ticks.back().column < gap)
            continue;
        ticks.push_back({column, time});
    }
    return ticks;
}
