#pragma once

#include "display_settings.h"

#include <QVariant>

#include <type_traits>
#include <variant>
#include <vector>

/// What setting a property makes the display do after storing the value.
enum class PropertyWork {
    Rebuild, // rebuild surfaces, shapes and layout, then repaint the value
    Redraw, // repaint background, border and value
    Gradient, // recompute the gradient, then redraw
    Render, // repaint the value only
    Value, // show the new value, repainting only the changed cells
    Theme, // apply the preset
};

// clang-format off
/// Every property of the display, each once: X(type, name, work, category, help). The order is
/// the order of loading, Picture first. The descriptor table, the ids and the accessors of
/// MorphDisplay are generated from this list; only the Q_PROPERTY lines are written out, for moc.
#define MORPH_DISPLAY_PROPERTIES(X) \
    X(QPixmap, Picture, Rebuild, "General Graphics", \
        "The bitmap to display in the control's background in lieu of a gradient.") \
    X(float, BackAngle, Gradient, "General Graphics", \
        "The angle, in degrees, of the colors in the control's background gradient.") \
    X(OleColor, BackColor1, Gradient, "General Graphics", \
        "The first color of the background gradient.") \
    X(OleColor, BackColor2, Gradient, "General Graphics", \
        "The second color of the background gradient.") \
    X(bool, BackMiddleOut, Gradient, "General Graphics", \
        "If True, the background gradient is middle-out (Color1 > Color2 > Color1).") \
    X(OleColor, BorderColor, Redraw, "General Graphics", \
        "The color of the control's border.") \
    X(qint16, BorderWidth, Redraw, "General Graphics", \
        "The width, in pixels, of the control's border.") \
    X(OleColor, BurnInColor, Rebuild, "Main Value", \
        "The color of 'burned-in' segments.  If the .ShowBurnIn property is True, this helps " \
        "the display look more like a physical LED/LCD.") \
    X(OleColor, BurnInColorNeg, Rebuild, "Main Value", \
        "The color to paint unlit segments in .ShowBurnIn=True display mode if the value being " \
        "displayed is negative.") \
    X(qint32, CurveBottomLeft, Redraw, "General Graphics", \
        "The amount of curvature of the bottom left corner of the control.") \
    X(qint32, CurveBottomRight, Redraw, "General Graphics", \
        "The amount of curvature of the bottom right corner of the control.") \
    X(qint32, CurveTopLeft, Redraw, "General Graphics", \
        "The amount of curvature of the top left corner of the control.") \
    X(qint32, CurveTopRight, Redraw, "General Graphics", \
        "The amount of curvature of the top right corner of the control.") \
    X(qint32, DecimalSeparator, Rebuild, "Main Value", \
        "The character to use as the decimal point character: a period or a comma.") \
    X(qint32, InterDigitGap, Rebuild, "Main Value", \
        "The number of pixels separating each display digit in the main value.") \
    X(qint32, InterDigitGapExp, Rebuild, "Exponent Value", \
        "The number of pixels separating each display digit in the exponent value.") \
    X(qint32, InterSegmentGap, Rebuild, "Main Value", \
        "The number of pixels separating individual segments in a main value display digit.") \
    X(qint32, InterSegmentGapExp, Rebuild, "Exponent Value", \
        "The number of pixels separating individual segments in an exponent value display " \
        "digit.") \
    X(qint32, NumDigits, Rebuild, "Main Value", \
        "The maximum number of main value digits to display.") \
    X(qint32, NumDigitsExp, Rebuild, "Exponent Value", \
        "The maximum number of exponent value digits to display.") \
    X(qint32, PictureMode, Rebuild, "General Graphics", \
        "The method used to display the background bitmap - Regular, Tiled or Stretched.") \
    X(qint32, SegmentFillStyle, Rebuild, "General Graphics", \
        "Determines whether the digit segments are painted in regular (filled-in) or filament " \
        "(outline) style.") \
    X(qint32, SegmentHeight, Rebuild, "Main Value", \
        "The height, in pixels, of the long dimension of a main value digit segment.") \
    X(qint32, SegmentHeightExp, Rebuild, "Exponent Value", \
        "The height, in pixels, of the long dimension of an exponent digit segment.") \
    X(OleColor, SegmentLitColor, Rebuild, "Main Value", \
        "The color with which to display an activated LCD digit segment when the value to " \
        "display is positive.") \
    X(OleColor, SegmentLitColorNeg, Rebuild, "Main Value", \
        "The color with which to display an activated LCD digit segment when the value to " \
        "display is negative.") \
    X(qint32, SegmentStyle, Rebuild, "Main Value", \
        "The shape of main value digit segments: Rectangular, Hexagonal or Trapezoidal.") \
    X(qint32, SegmentStyleExp, Rebuild, "Exponent Value", \
        "The shape of exponent digit segments: Rectangular, Hexagonal or Trapezoidal.") \
    X(qint32, SegmentWidth, Rebuild, "Main Value", \
        "The length, in pixels, of the short dimension of an individual main value display " \
        "digit segment.") \
    X(qint32, SegmentWidthExp, Rebuild, "Exponent Value", \
        "The length, in pixels, of the short dimension of an individual exponent display digit " \
        "segment.") \
    X(bool, ShowBurnIn, Rebuild, "General Graphics", \
        "If True, unlit segments are displayed with a faint \"burn-in' color to simulate a " \
        "physical LED/LCD display.") \
    X(bool, ShowExponent, Rebuild, "Exponent Value", \
        "If True, an exponent is shown.  Set to False when using control as a simple counter.") \
    X(bool, ShowThousandsSeparator, Rebuild, "Main Value", \
        "If True, groups of thousands are separated by the character in the " \
        ".ThousandsSeparator property (comma or period).") \
    X(qint32, Theme, Theme, "General Graphics", \
        "One of several predefined display styles.") \
    X(qint32, ThousandsGrouping, Render, "Main Value", \
        "The number of digits between thousands groups in a value (in the U.S., for example, " \
        "the value is 3).") \
    X(qint32, ThousandsSeparator, Rebuild, "Main Value", \
        "The character to be used to separate groups of digits (a comma or period).") \
    X(QString, Value, Value, "Main Value", \
        "The value to be shown in the digital display.") \
    X(qint32, XOffset, Rebuild, "Main Value", \
        "The number of pixels from the left edge of the control to start displaying main value " \
        "digits.") \
    X(qint32, XOffsetExp, Rebuild, "Exponent Value", \
        "The number of pixels from the left edge of the control to start displaying exponent " \
        "digits.") \
    X(qint32, YOffset, Rebuild, "Main Value", \
        "The number of pixels from the top side of the control to display the LCD main value " \
        "digits (does not take border into account).") \
    X(qint32, YOffsetExp, Rebuild, "Exponent Value", \
        "The number of pixels from the top side of the control to display the LCD exponent " \
        "digits (does not take border into account).")
// clang-format on

/// A property's position in the list above and in the descriptor table.
enum class DisplayPropertyId {
#define MORPH_DISPLAY_PROPERTY_ID(type, name, ...) name,
    MORPH_DISPLAY_PROPERTIES(MORPH_DISPLAY_PROPERTY_ID)
#undef MORPH_DISPLAY_PROPERTY_ID
};

/// Setters take numbers by value and pictures and text by reference.
template <typename T> using SetterArgument = std::conditional_t<std::is_scalar_v<T>, T, const T &>;

/// One property of the display: its name, where its value lives, the work a change causes, and
/// what the designer shows for it.
struct DisplayProperty
{
    using Member = std::variant<float DisplaySettings::*, bool DisplaySettings::*,
        qint16 DisplaySettings::*, qint32 DisplaySettings::*, quint32 DisplaySettings::*,
        QString DisplaySettings::*, QPixmap DisplaySettings::*>;

    const char *name;
    Member member;
    PropertyWork work;
    const char *category;
    const char *help;

    QVariant read(const DisplaySettings &settings) const;
    /// Stores a value converted to the property's type; false when it does not convert.
    bool write(DisplaySettings &settings, const QVariant &value) const;
};

namespace DisplayProperties {
/// Every property, Picture first.
const std::vector<DisplayProperty> &all();
const DisplayProperty &at(DisplayPropertyId id);
const DisplayProperty *find(const QString &name);
} // namespace DisplayProperties
