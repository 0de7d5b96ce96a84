#pragma once

#include "display_settings.h"

#include <QSize>

#include <optional>

/// The six predefined looks of the display.
namespace DisplayThemes {
/// Overwrites the settings a theme decides and returns the control's size in pixels; nothing
/// for a number other than 1 to 6.
std::optional<QSize> apply(int theme, DisplaySettings &settings);
} // namespace DisplayThemes
