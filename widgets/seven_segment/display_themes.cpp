#include "display_themes.h"

#include "twips.h"

#include <array>

namespace {
struct ThemeLook
{
    OleColor back;
    OleColor lit;
    OleColor burnIn;
    int style;
    int segmentHeight;
    int segmentWidth;
    int segmentHeightExp;
    int segmentWidthExp;
    int interDigitGap;
    int interDigitGapExp;
    int interSegmentGap;
    int xOffsetExp;
    QSize twips;
};

constexpr std::array<ThemeLook, 6> kThemes{{
    {0x000000, 0x0000FF, 0x000060, segHexagonal, 8, 4, 5, 3, 4, 2, 0, 335, {5715, 450}},
    {0x000000, 0x0000FF, 0x000060, segHexagonal, 12, 4, 8, 4, 6, 2, 1, 490, {8355, 630}},
    {0xE0E0E0, 0x000000, 0xD0D0D0, segTrapezoidal, 12, 4, 6, 3, 4, 2, 1, 370, {6525, 570}},
    {0xE0E0E0, 0x000000, 0xD0D0D0, segTrapezoidal, 14, 4, 8, 4, 6, 2, 1, 455, {7875, 630}},
    {0x000000, 0xFFFF00, 0x505000, segRectangular, 8, 3, 6, 3, 6, 2, 0, 355, {6045, 465}},
    {0x000000, 0x00FFFF, 0x005050, segRectangular, 4, 2, 4, 2, 4, 3, 0, 195, {3525, 300}},
}};

/// What every theme shares.
void applyCommon(DisplaySettings &settings)
{
    settings.BackAngle = 90.0f;
    settings.BackMiddleOut = true;
    settings.BorderColor = 0xFF0000;
    settings.BorderWidth = 1;
    settings.CurveBottomLeft = settings.CurveBottomRight = 0;
    settings.CurveTopLeft = settings.CurveTopRight = 0;
    settings.DecimalSeparator = sepPeriod;
    settings.InterSegmentGapExp = 0;
    settings.NumDigits = 20;
    settings.NumDigitsExp = 4;
    settings.Picture = QPixmap();
    settings.PictureMode = 0;
    settings.SegmentFillStyle = fillSolid;
    settings.SegmentStyleExp = segRectangular;
    settings.ShowBurnIn = true;
    settings.ShowExponent = true;
    settings.ShowThousandsSeparator = false;
    settings.ThousandsGrouping = 3;
    settings.ThousandsSeparator = sepComma;
    settings.XOffset = 5;
    settings.YOffset = 5;
    settings.YOffsetExp = 5;
}
} // namespace

std::optional<QSize> DisplayThemes::apply(int theme, DisplaySettings &settings)
{
    if (theme < 1 || theme > int(kThemes.size()))
        return std::nullopt;
    const ThemeLook &look = kThemes[std::size_t(theme - 1)];
    applyCommon(settings);
    settings.BackColor1 = settings.BackColor2 = look.back;
    settings.SegmentLitColor = settings.SegmentLitColorNeg = look.lit;
    settings.BurnInColor = settings.BurnInColorNeg = look.burnIn;
    settings.SegmentStyle = look.style;
    settings.SegmentHeight = look.segmentHeight;
    settings.SegmentWidth = look.segmentWidth;
    settings.SegmentHeightExp = look.segmentHeightExp;
    settings.SegmentWidthExp = look.segmentWidthExp;
    settings.InterDigitGap = look.interDigitGap;
    settings.InterDigitGapExp = look.interDigitGapExp;
    settings.InterSegmentGap = look.interSegmentGap;
    settings.XOffsetExp = look.xOffsetExp;
    return look.twips / Twips::kPerPixel;
}
