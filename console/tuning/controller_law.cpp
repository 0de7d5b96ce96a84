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
    return std::clamp(gain, std::min(gainMin, gainMax), gainMax);
}

std::optional<QString> ControllerLaw::refusal() const
{
    const auto shown = [](double value) { return QString::number(value, 'g', 6); };
    const std::pair<double, const char *> positive[] = {{pScale, "P_SCALE"}, {iScale, "I_SCALE"},
        {dScale, "D_SCALE"}, {outputActivityLimit, "OUTPUT_ACTIVITY_MAX"}};
    for (const auto &[value, key] : positive) {
        if (!std::isfinite(value) || value <= 0 || value > kLargestValue)
            return tr("设置文件 [TUNING] 中的 %1=%2 不能用：须是大于 0、不超过 %3 的数")
                .arg(QLatin1String(key), shown(value), shown(kLargestValue));
    }
    if (!std::isfinite(dFilterSeconds) || dFilterSeconds < 0 || dFilterSeconds > kLargestValue)
        return tr("设置文件 [TUNING] 中的 D_FILTER_S=%1 不能用：须是 0 到 %2 秒")
            .arg(shown(dFilterSeconds), shown(kLargestValue));
    for (const auto &[value, key] :
        {std::pair{outputMin, "OUTPUT_MIN"}, std::pair{outputMax, "OUTPUT_MAX"}}) {
        if (!std::isfinite(value) || std::abs(value) > kLargestValue)
            return tr("设置文件 [TUNING] 中的 %1=%2 不能用：须是绝对值不超过 %3 的数")
                .arg(QLatin1String(key), shown(value), shown(kLargestValue));
    }
    if (outputMin >= outputMax)
        return tr("设置文件 [TUNING] 中的 OUTPUT_MIN=%1 不小于 OUTPUT_MAX=%2：输出没有范围")
            .arg(shown(outputMin), shown(outputMax));
    if (gainMin > gainMax)
        return tr("设置文件 [TUNING] 中的 GAIN_MIN=%1 大于 GAIN_MAX=%2：增益没有范围")
            .arg(gainMin)
            .arg(gainMax);
    return std::nullopt;
}
