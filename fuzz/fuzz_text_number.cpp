#include "telemetry/telemetry_line.h"
#include "telemetry/text_number.h"

#include <QString>

#include <cmath>
#include <cstdlib>

/// The text-to-number rule on any text: it never crashes, and its integer and floating results
/// agree with each other.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<double> number = TextNumber::toDouble(text);
    const std::optional<qint16> small = TextNumber::toInt16(text);
    const std::optional<qint32> large = TextNumber::toInt32(text);
    if (small && (!large || *large != *small))
        std::abort();
    if (large && (!number || std::fabs(*number - *large) > 0.5 + 1e-9 * std::fabs(*number)))
        std::abort();
    if (number && std::fabs(*number) < 32767 && !small)
        std::abort();
    (void)TelemetryLine::parse(text);
    return 0;
}
