#include "step_response.h"

#include "telemetry/display_format.h"
#include "telemetry/text_number.h"

#include <cmath>

namespace {
constexpr double kSettlingBand = 0.05;

QString stamp(const QString &runTime)
{
    return runTime + u's';
}
} // namespace

std::optional<double> StepResponse::shownPercentage(const QString &text)
{
    if (!text.endsWith(u'%'))
        return std::nullopt;
    return TextNumber::toDouble(QStringView(text).chopped(1));
}

StepResponseUpdate StepResponse::update(int currentTenths, int setTenths, bool reachPending,
    const QString &runTime, std::optional<double> shownOvershoot)
{
    StepResponseUpdate figures;
    if (currentTenths >= setTenths && setTenths != 0) {
        const QString overshoot =
            DisplayFormat::percentage((currentTenths - setTenths) * 100.0 / setTenths);
        // Compared as shown, two decimals against two decimals, so that an overshoot that
        // would show the same text leaves the peak time where it is.
        if (!shownOvershoot || *shownPercentage(overshoot) > *shownOvershoot) {
            figures.overshoot = overshoot;
            figures.peakTime = stamp(runTime);
        }
    }
    if (reachPending && currentTenths == setTenths) {
        figures.reached = true;
        figures.riseTime = stamp(runTime);
    }
    if (std::abs(currentTenths - setTenths) > kSettlingBand * setTenths)
        figures.settlingTime = stamp(runTime);
    return figures;
}
