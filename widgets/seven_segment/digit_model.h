#pragma once

#include <QString>

#include <vector>

/// A value split into the text for the main field and for the exponent field.
struct SplitValue
{
    QString mantissa;
    QString exponent;
    bool hasExponent = false;
};

/// How a value's text is laid out over the display's cells. The display never formats numbers:
/// it shows the caller's characters, right-aligned.
namespace DigitModel {
/// Upper case, with a "0" put before a leading ".".
QString normalized(const QString &value);
/// Whether the number the value starts with is below zero.
bool isNegative(const QString &value);
/// Mantissa and exponent ("E+" or "E-" followed by digits; the exponent is the sign character
/// and the last digits, zero-padded to the field).
SplitValue SplitExponent(const QString &text, int numDigitsExp);
/// The last cells characters of the text, blank-padded on the left.
QString rightAligned(const QString &text, int cells);
/// The cell of the character before a mark at 1-based position p in a text of the given
/// length, once the mark is removed.
int markCell(int numDigits, int position, int textLength);
/// Which cells a thousands mark follows.
std::vector<bool> MarkThousands(const QString &mantissa, int numDigits, int grouping);
} // namespace DigitModel
