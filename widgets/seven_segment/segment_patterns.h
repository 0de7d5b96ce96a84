#pragma once

#include <QChar>

#include <array>

/// Which of the seven segments a..g (top, upper right, lower right, bottom, lower left, upper
/// left, middle) are lit for each character the display can show.
namespace SegmentPatterns {
constexpr int kBlank = 10;
constexpr int kNothing = -1;

/// Entry index: 0-9 the digits, 10 blank (unlit segments only), 11 minus, 12-17 A b C d E F.
const std::array<const char *, 18> &table();
/// Whether segment (0 = a ... 6 = g) is lit in the entry.
bool lit(int index, int segment);
/// The entry for one character; kNothing when a blank is not to show burn-in either.
int PatternIndexOf(QChar character, bool showBurnIn);
} // namespace SegmentPatterns
