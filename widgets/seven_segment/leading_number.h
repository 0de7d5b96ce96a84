#pragma once

#include <QStringView>

/// The number at the start of a text, read the forgiving way: blanks anywhere are ignored, then
/// an optional sign, digits, an optional decimal point with fraction and an optional exponent
/// (E or D); reading stops at the first character that cannot continue the number, and a text
/// without digits reads as 0.
double leadingNumber(QStringView text);
