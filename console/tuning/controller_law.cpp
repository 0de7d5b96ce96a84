#include "controller_law.h"

#include "profile_reader.h"
#include "telemetry/text_number.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
void readInto(double &value, const char *key, const QString &settingsFile)
{
    const QString text =
        readProfileString(QStringLiteral("TUNING"), QString::fromLatin1(key), settingsFile);
    if (const std::optional<double> number = TextNumber::toDouble(text))
        value = *number;
}
} // namespace

ControllerLaw ControllerLaw::read(const QString &settingsFile)
{
    ControllerLaw law;
    const std::pair<double *, const char *> keys[] = {{&law.pScale, "P_SCALE"},
        {&law.iScale, "I_SCALE"}, {&law.dScale, "D_SCALE"}, {&law.dFilterSeconds, "D_FILTER_S"},
        {&law.outputMin, "OUTPUT_MIN"}, {&law.outputMax, "OUTPUT_MAX"},
        {&law.outputActivityLimit, "OUTPUT_ACTIVITY_MAX"}};
    for (const auto &[value, key] : keys)
        readInto(*value, key, settingsFile);
    double gainMin = law.gainMin;
    double gainMax = law.gainMax;
    readInto(gainMin, "GAIN_MIN", settingsFile);
    readInto(gainMax, "GAIN_MAX", settingsFile);
    const auto gain = [](double value) {
        return int(std::lround(std::clamp(value, 0.0, double(GainSet::kLargest))));
    };
    law.gainMin = gain(gainMin);
    law.gainMax = gain(gainMax);
    return law;
}

int ControllerLaw::gainWithin(int gain) const
{
    return std::clamp(gain, gainMin, std::max(gainMin, gainMax));
}
