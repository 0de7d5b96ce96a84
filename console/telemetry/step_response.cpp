#include "step_response.h"

#include "telemetry/display_format.h"
#include "telemetry/text_number.h"

#include <cmath>

namespace {
constexpr double kSettlingBand = 0.05;

/// The percentage to the two decimals its box shows, so that two overshoots that would show
/// the same text compare equal.
double asShown(double percentage)
{
    return *StepResponse::shownPercentage(DisplayFormat::percentage(percentage));
}
} // namespace

std::optional<double> StepResponse::shownPercentage(const QString &text)
{
    if (!text.endsWith(u'%'))
        return std::nullopt;
    return TextNumber::toDouble(QStringView(text).chopped(1));
}

StepResponseUpdate StepResponse::update(int currentTenths, int setTenths, bool reachPending,
    qint64 runTenths, std::optional<double> shownOvershoot)
{
    StepResponseUpdate update;
    StepFigures &stamped = update.stamped;
    if (currentTenths >= setTenths && setTenths != 0) {
        const double overshoot = asShown((currentTenths - setTenths) * 100.0 / setTenths);
        // An overshoot that would show the same text leaves the peak time where it is.
        if (!shownOvershoot || overshoot > *shownOvershoot) {
            stamped.overshootPercent = overshoot;
            stamped.peakTenths = runTenths;
        }
    }
    if (reachPending && currentTenths == setTenths) {
        update.reached = true;
        stamped.riseTenths = runTenths;
    }
    if (std::abs(currentTenths - setTenths) > kSettlingBand * setTenths)
        stamped.settlingTenths = runTenths;
    return update;
}
