#include "step_response.h"

#include "display_format.h"
#include "text_number.h"

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
    const QString &runTime, const QString &shownOvershoot)
{
    StepResponseUpdate figures;
    if (currentTenths >= setTenths && setTenths != 0) {
        const double overshoot = (currentTenths - setTenths) * 100.0 / setTenths;
        const std::optional<double> shown = shownPercentage(shownOvershoot);
        if (!shown || overshoot > *shown) {
            figures.overshoot = DisplayFormat::percentage(overshoot);
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
