#include "first_order_response.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {
/// exp(-interval / time constant) for intervals of a whole number of half milliseconds plus -1, 0
/// or 1 dead times. Lines come at a steady pace, so the thousands of exponentials of a response
/// are a few numbers over and over; each is worked out once.
class Decays
{
public:
    Decays(double timeConstant, double deadTime)
        : m_timeConstant(timeConstant)
        , m_deadTime(deadTime)
    {
    }

    /// 1 for an interval that does not reach forward.
    double over(qint64 halves, int deadTimes)
    {
        const double seconds = double(halves) / 2e3 + deadTimes * m_deadTime;
        if (seconds <= 0)
            return 1.0;
        Entry &entry = m_entries[std::size_t(deadTimes + 1)][std::size_t(halves & kSlotMask)];
        if (entry.halves != halves) {
            entry.halves = halves;
            entry.value = std::exp(-seconds / m_timeConstant);
        }
        return entry.value;
    }

private:
    static constexpr qint64 kSlotMask = 63;
    struct Entry
    {
        qint64 halves = std::numeric_limits<qint64>::min();
        double value = 1.0;
    };
    const double m_timeConstant;
    const double m_deadTime;
    std::array<std::array<Entry, kSlotMask + 1>, 3> m_entries;
};
} // namespace

std::vector<double> FirstOrderResponse::atSamples(const std::vector<qint64> &milliseconds,
    const std::vector<double> &input, double timeConstant, double deadTime, double restingInput)
{
    const std::size_t count = std::min(milliseconds.size(), input.size());
    std::vector<double> response(milliseconds.size());
    if (milliseconds.empty())
        return response;
    Decays decays(timeConstant, deadTime);
    // Times in half milliseconds, where the midpoints between lines fall. input[k] holds from
    // switchOf(k) on: the first sample's time, then midway between a sample and the one before.
    const auto halves = [&milliseconds](std::size_t k) { return 2 * milliseconds[k]; };
    const auto switchOf = [&milliseconds](std::size_t k) {
        return k == 0 ? 2 * milliseconds[0] : milliseconds[k - 1] + milliseconds[k];
    };
    // The switch to input[k] has reached the plant by the sample's time.
    const auto felt = [&](std::size_t k, std::size_t sample) {
        return k<count &&double(halves(sample) - switchOf(k)) / 2e3> deadTime;
    };
    double state = restingInput;
    // The moment reached: a time, and a dead time after it once an input took effect.
    qint64 now = halves(0);
    int nowDelayed = 0;
    double delayed = restingInput;
    std::size_t applied = 0;
    const auto advance = [&](qint64 until, int untilDelayed) {
        const double decay = decays.over(until - now, untilDelayed - nowDelayed);
        if (decay >= 1.0)
            return;
        state = delayed + (state - delayed) * decay;
        now = until;
        nowDelayed = untilDelayed;
    };
    for (std::size_t sample = 0; sample < milliseconds.size(); ++sample) {
        while (felt(applied, sample)) {
            advance(switchOf(applied), 1);
            delayed = input[applied++];
        }
        advance(halves(sample), 0);
        response[sample] = state;
    }
    return response;
}

std::vector<double> FirstOrderResponse::decayFromFirst(
    const std::vector<qint64> &milliseconds, double timeConstant)
{
    std::vector<double> values(milliseconds.size(), 1.0);
    Decays decays(timeConstant, 0.0);
    for (std::size_t k = 1; k < values.size(); ++k)
        values[k] = values[k - 1] * decays.over(2 * (milliseconds[k] - milliseconds[k - 1]), 0);
    return values;
}
