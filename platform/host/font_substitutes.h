#pragma once

/// Lets every font the window names resolve to a font the package depends on, whatever else is
/// installed: Song ("宋体") to AR PL UMing, Hei ("黑体") to WenQuanYi Zen Hei, Times New Roman to
/// DejaVu Serif, Qt's "Sans Serif" to DejaVu Sans, Chinese glyphs among Latin ones to WenQuanYi
/// Zen Hei.
void installFontSubstitutes();
