#include "output_activity.h"

#include "tuning/closed_loop.h"

#include <cmath>

namespace {
/// The filters settle first; then two minutes of lines are watched.
constexpr double kSettleSeconds = 20.0;
constexpr double kWatchedSeconds = 120.0;
/// One noise for every set, so that sets are told apart by their gains alone.
constexpr std::uint32_t kNoiseSeed = 20261210;
} // namespace

double OutputActivity::atRest(const PlantModel &model, const ControllerLaw &law,
    const GainSet &gains, double temperature, int linePeriodMs)
{
    ClosedLoop loop(model, law, gains, temperature);
    loop.setMeasurementNoise(model.measurementNoise(), kNoiseSeed);
    double squares = 0.0;
    int changes = 0;
    int previous = loop.output();
    loop.followLines(linePeriodMs, kSettleSeconds + kWatchedSeconds, [&](qint64 milliseconds) {
        if (milliseconds > kSettleSeconds * 1000) {
            const double change = loop.output() - previous;
            squares += change * change;
            ++changes;
        }
        previous = loop.output();
        return true;
    });
    return changes > 0 ? std::sqrt(squares / changes) : 0.0;
}
