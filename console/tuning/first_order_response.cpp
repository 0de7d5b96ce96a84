#include "first_order_response.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {
/// exp(-interval / time constant) for intervals of a whole number of milliseconds plus -1, 0 or
/// 1 dead times. Lines come at a steady pace, so the thousands of exponentials of a response
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
    double over(qint64 milliseconds, int deadTimes)
    {
        const double seconds = double(milliseconds) / 1e3 + deadTimes * m_deadTime;
        if (seconds <= 0)
            return 1.0;
        Entry &entry = m_entries[std::size_t(deadTimes + 1)][std::size_t(milliseconds & kSlotMask)];
        if (entry.milliseconds != milliseconds) {
            entry.milliseconds = milliseconds;
            entry.value = std::exp(-seconds / m_timeConstant);
        }
        return entry.value;
    }

private:
    static constexpr qint64 kSlotMask = 63;
    struct Entry
    {
        qint64 milliseconds = std::numeric_limits<qint64>::min();
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
    std::vector<double> response(milliseconds.size());
    Decays decays(timeConstant, deadTime);
    double state = restingInput;
    // The moment reached: a line's time, and a dead time after it once an input took effect.
    qint64 now = milliseconds.empty() ? 0 : milliseconds.front();
    int nowDelayed = 0;
    // Until the first line's time and a dead time the plant feels the resting input; from then
    // on input[k] until line k's time and a dead time.
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
        while (applied + 1 < input.size()
            && double(milliseconds[sample] - milliseconds[applied]) / 1e3 > deadTime) {
            advance(milliseconds[applied], 1);
            delayed = input[++applied];
        }
        advance(milliseconds[sample], 0);
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
        values[k] = values[k - 1] * decays.over(milliseconds[k] - milliseconds[k - 1], 0);
    return values;
}
