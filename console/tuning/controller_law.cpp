#include "controller_law.h"

#include "profile_reader.h"
#include "telemetry/text_number.h"

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
        {&law.outputMin, "OUTPUT_MIN"}, {&law.outputMax, "OUTPUT_MAX"}};
    for (const auto &[value, key] : keys)
        readInto(*value, key, settingsFile);
    return law;
}
