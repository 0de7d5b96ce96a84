#pragma once

#include <QStringView>

#include <optional>

/// The console's rule for reading numbers out of text: blanks around the number are ignored,
/// then an optional sign and digits with an optional decimal fraction. Integer targets take the
/// nearest integer, halves to the even neighbour, and fail outside their range. Empty text and
/// any other form (exponents, grouping, hexadecimal) fail.
namespace TextNumber {
std::optional<double> toDouble(QStringView text);
std::optional<qint16> toInt16(QStringView text);
std::optional<qint32> toInt32(QStringView text);
} // namespace TextNumber
