#pragma once

#include <QStringView>

#include <optional>

/// The values of one completed telemetry line, taken from their fixed character positions
/// (counted from 1) by the text-to-number rule. A field that does not convert, or lies beyond
/// the end of a short line, is empty.
struct TelemetryLine
{
    std::optional<qint16> setTenths; // positions 4 to 7
    std::optional<qint16> currentTenths; // 12 to 15
    std::optional<double> outputLevel; // 22 to 24
    std::optional<qint16> p; // 31 to 33
    std::optional<qint16> i; // 36 to 38
    std::optional<qint16> d; // 41 to 43

    static TelemetryLine parse(QStringView line);
    /// The characters at positions first to last, fewer where the line ends before last.
    static QStringView field(QStringView line, int first, int last);
};
