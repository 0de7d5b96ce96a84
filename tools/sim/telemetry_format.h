#pragma once

#include <string>

/// The values one telemetry line carries.
struct TelemetrySample
{
    int setTenths = 0;
    int currentTenths = 0;
    int output = 0;
    int p = 0;
    int i = 0;
    int d = 0;
};

/// One telemetry line, fields at fixed positions counted from 1, with fixed filler between them
/// that holds no upper-case O or N (each of those on the link is a mode signal):
///
///     st=SSSS pv=CCCC out= LLL pid= PPP, III, DDD\r\n
///
/// 4-7 set temperature and 12-15 current temperature in tenths (zero-padded to 4, "-" and 3
/// digits below zero); 22-24 output level; 31-33 P, 36-38 I, 41-43 D (zero-padded to 3).
/// Values beyond a field's width are clamped to it.
std::string formatTelemetryLine(const TelemetrySample &sample);

/// The same line with the current temperature field holding text that is not a number.
std::string formatLineWithBadField(const TelemetrySample &sample);
