#pragma once

/// Twips: 1/1440 inch, the unit of the stored design and of the chart's canvas. At the 96 dots
/// per inch the console assumes, 15 twips make a pixel.
namespace Twips {
constexpr int kPerPixel = 15;
} // namespace Twips
