#pragma once

#include <QColor>
#include <QPalette>

#include <optional>

/// Colour values as stored in designs and properties: 0x00BBGGRR, or 0x800000nn for the
/// platform's system colour number nn.
using OleColor = quint32;

namespace SystemColor {
constexpr OleColor WindowFrame = 0x80000006;
constexpr OleColor Highlight = 0x8000000D;
constexpr OleColor ButtonFace = 0x8000000F;
constexpr OleColor ButtonText = 0x80000012;
} // namespace SystemColor

/// Translates a colour value to RGB, system colours through the given palette; fails for a
/// system colour number the platform does not know or a value of any other form.
std::optional<QColor> OleTranslateColor(OleColor colour, const QPalette &palette);
/// The same through the application's palette.
std::optional<QColor> OleTranslateColor(OleColor colour);
