#include "telemetry_line.h"

#include "telemetry/text_number.h"

TelemetryLine TelemetryLine::parse(QStringView line)
{
    TelemetryLine values;
    values.setTenths = TextNumber::toInt16(field(line, 4, 7));
    values.currentTenths = TextNumber::toInt16(field(line, 12, 15));
    values.outputLevel = TextNumber::toDouble(field(line, 22, 24));
    values.p = TextNumber::toInt16(field(line, 31, 33));
    values.i = TextNumber::toInt16(field(line, 36, 38));
    values.d = TextNumber::toInt16(field(line, 41, 43));
    return values;
}

QStringView TelemetryLine::field(QStringView line, int first, int last)
{
    if (first > line.size())
        return QStringView();
    return line.mid(first - 1, last - first + 1);
}
