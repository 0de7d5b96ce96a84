#pragma once

#include <QString>

/// How the console writes numbers for the operator, always with "." as the decimal mark.
namespace DisplayFormat {
/// Tenths of a degree as degrees, without trailing zeros: 600 gives "60", 585 gives "58.5".
QString tenthsAsDegrees(int tenths);
/// A percentage with at least one integer digit and two decimals, then "%": "50.20%".
QString percentage(double value);
} // namespace DisplayFormat
