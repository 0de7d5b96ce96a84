#pragma once

/// Lets the design's Windows font names resolve to installed fonts of the same style: Song
/// ("宋体") to AR PL UMing, Hei ("黑体") to WenQuanYi Zen Hei.
void installFontSubstitutes();
