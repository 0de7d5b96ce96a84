#include "telemetry_format.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr std::size_t kCurrentFieldStart = 11; // position 12, counted from 0
constexpr char kBadField[] = "x?.?";

std::string temperatureField(int tenths)
{
    char field[8];
    if (tenths < 0)
        std::snprintf(field, sizeof field, "-%03d", std::min(-tenths, 999));
    else
        std::snprintf(field, sizeof field, "%04d", std::min(tenths, 9999));
    return field;
}

std::string threeDigits(int value)
{
    char field[8];
    std::snprintf(field, sizeof field, "%03d", std::clamp(value, 0, 999));
    return field;
}
} // namespace

std::string formatTelemetryLine(const TelemetrySample &sample)
{
    return "st=" + temperatureField(sample.setTenths)
        + " pv=" + temperatureField(sample.currentTenths) + " out= " + threeDigits(sample.output)
        + " pid= " + threeDigits(sample.p) + ", " + threeDigits(sample.i) + ", "
        + threeDigits(sample.d) + "\r\n";
}

std::string formatLineWithBadField(const TelemetrySample &sample)
{
    std::string line = formatTelemetryLine(sample);
    line.replace(kCurrentFieldStart, sizeof kBadField - 1, kBadField);
    return line;
}
