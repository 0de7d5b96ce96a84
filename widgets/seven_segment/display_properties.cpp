#include "display_properties.h"

#include <limits>
#include <optional>

namespace {
template <typename Integer>
bool toInteger(const QVariant &value, Integer &out, qint64 lowest, qint64 highest)
{
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < lowest || number > highest)
        return false;
    out = Integer(number);
    return true;
}

// Stored switches are booleans, numbers, or the words True and False.
std::optional<bool> toBoolean(const QVariant &value)
{
    if (value.typeId() != QMetaType::QString)
        return value.canConvert<bool>() ? std::optional<bool>(value.toBool()) : std::nullopt;
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    return ok ? std::optional<bool>(number != 0) : std::nullopt;
}

struct Writer
{
    DisplaySettings &settings;
    const QVariant &value;

    bool operator()(float DisplaySettings::*member) const
    {
        bool ok = false;
        const float number = value.toFloat(&ok);
        if (ok)
            settings.*member = number;
        return ok;
    }
    bool operator()(bool DisplaySettings::*member) const
    {
        const std::optional<bool> flag = toBoolean(value);
        if (flag)
            settings.*member = *flag;
        return flag.has_value();
    }
    bool operator()(qint16 DisplaySettings::*member) const
    {
        return toInteger(value, settings.*member, std::numeric_limits<qint16>::min(),
            std::numeric_limits<qint16>::max());
    }
    bool operator()(qint32 DisplaySettings::*member) const
    {
        return toInteger(value, settings.*member, std::numeric_limits<qint32>::min(),
            std::numeric_limits<qint32>::max());
    }
    // Colours: plain values, system-colour codes, or -1 for "all bits set".
    bool operator()(quint32 DisplaySettings::*member) const
    {
        return toInteger(value, settings.*member, std::numeric_limits<qint32>::min(),
            std::numeric_limits<quint32>::max());
    }
    bool operator()(QString DisplaySettings::*member) const
    {
        settings.*member = value.toString();
        return true;
    }
    bool operator()(QPixmap DisplaySettings::*member) const
    {
        if (!value.isNull() && !value.canConvert<QPixmap>())
            return false;
        settings.*member = value.value<QPixmap>();
        return true;
    }
};
} // namespace

QVariant DisplayProperty::read(const DisplaySettings &settings) const
{
    return std::visit(
        [&settings](auto pointer) { return QVariant::fromValue(settings.*pointer); }, member);
}

bool DisplayProperty::write(DisplaySettings &settings, const QVariant &value) const
{
    return std::visit(Writer{settings, value}, member);
}

const std::vector<DisplayProperty> &DisplayProperties::all()
{
    static const std::vector<DisplayProperty> properties{
        {"Picture", &DisplaySettings::Picture, PropertyWork::Rebuild, "General Graphics",
            "The bitmap to display in the control's background in lieu of a gradient."},
        {"BackAngle", &DisplaySettings::BackAngle, PropertyWork::Gradient, "General Graphics",
            "The angle, in degrees, of the colors in the control's background gradient."},
        {"BackColor1", &DisplaySettings::BackColor1, PropertyWork::Gradient, "General Graphics",
            "The first color of the background gradient."},
        {"BackColor2", &DisplaySettings::BackColor2, PropertyWork::Gradient, "General Graphics",
            "The second color of the background gradient."},
        {"BackMiddleOut", &DisplaySettings::BackMiddleOut, PropertyWork::Gradient,
            "General Graphics",
            "If True, the background gradient is middle-out (Color1 > Color2 > Color1)."},
        {"BorderColor", &DisplaySettings::BorderColor, PropertyWork::Redraw, "General Graphics",
            "The color of the control's border."},
        {"BorderWidth", &DisplaySettings::BorderWidth, PropertyWork::Redraw, "General Graphics",
            "The width, in pixels, of the control's border."},
        {"BurnInColor", &DisplaySettings::BurnInColor, PropertyWork::Rebuild, "Main Value",
            "The color of 'burned-in' segments.  If the .ShowBurnIn property is True, this helps "
            "the display look more like a physical LED/LCD."},
        {"BurnInColorNeg", &DisplaySettings::BurnInColorNeg, PropertyWork::Rebuild, "Main Value",
            "The color to paint unlit segments in .ShowBurnIn=True display mode if the value being "
            "displayed is negative."},
        {"CurveBottomLeft", &DisplaySettings::CurveBottomLeft, PropertyWork::Redraw,
            "General Graphics",
            "The amount of curvature of the bottom left corner of the control."},
        {"CurveBottomRight", &DisplaySettings::CurveBottomRight, PropertyWork::Redraw,
            "General Graphics",
            "The amount of curvature of the bottom right corner of the control."},
        {"CurveTopLeft", &DisplaySettings::CurveTopLeft, PropertyWork::Redraw, "General Graphics",
            "The amount of curvature of the top left corner of the control."},
        {"CurveTopRight", &DisplaySettings::CurveTopRight, PropertyWork::Redraw, "General Graphics",
            "The amount of curvature of the top right corner of the control."},
        {"DecimalSeparator", &DisplaySettings::DecimalSeparator, PropertyWork::Rebuild,
            "Main Value",
            "The character to use as the decimal point character: a period or a comma."},
        {"InterDigitGap", &DisplaySettings::InterDigitGap, PropertyWork::Rebuild, "Main Value",
            "The number of pixels separating each display digit in the main value."},
        {"InterDigitGapExp", &DisplaySettings::InterDigitGapExp, PropertyWork::Rebuild,
            "Exponent Value",
            "The number of pixels separating each display digit in the exponent value."},
        {"InterSegmentGap", &DisplaySettings::InterSegmentGap, PropertyWork::Rebuild, "Main Value",
            "The number of pixels separating individual segments in a main value display digit."},
        {"InterSegmentGapExp", &DisplaySettings::InterSegmentGapExp, PropertyWork::Rebuild,
            "Exponent Value",
            "The number of pixels separating individual segments in an exponent value display "
            "digit."},
        {"NumDigits", &DisplaySettings::NumDigits, PropertyWork::Rebuild, "Main Value",
            "The maximum number of main value digits to display."},
        {"NumDigitsExp", &DisplaySettings::NumDigitsExp, PropertyWork::Rebuild, "Exponent Value",
            "The maximum number of exponent value digits to display."},
        {"PictureMode", &DisplaySettings::PictureMode, PropertyWork::Rebuild, "General Graphics",
            "The method used to display the background bitmap - Regular, Tiled or Stretched."},
        {"SegmentFillStyle", &DisplaySettings::SegmentFillStyle, PropertyWork::Rebuild,
            "General Graphics",
            "Determines whether the digit segments are painted in regular (filled-in) or filament "
            "(outline) style."},
        {"SegmentHeight", &DisplaySettings::SegmentHeight, PropertyWork::Rebuild, "Main Value",
            "The height, in pixels, of the long dimension of a main value digit segment."},
        {"SegmentHeightExp", &DisplaySettings::SegmentHeightExp, PropertyWork::Rebuild,
            "Exponent Value",
            "The height, in pixels, of the long dimension of an exponent digit segment."},
        {"SegmentLitColor", &DisplaySettings::SegmentLitColor, PropertyWork::Rebuild, "Main Value",
            "The color with which to display an activated LCD digit segment when the value to "
            "display is positive."},
        {"SegmentLitColorNeg", &DisplaySettings::SegmentLitColorNeg, PropertyWork::Rebuild,
            "Main Value",
            "The color with which to display an activated LCD digit segment when the value to "
            "display is negative."},
        {"SegmentStyle", &DisplaySettings::SegmentStyle, PropertyWork::Rebuild, "Main Value",
            "The shape of main value digit segments: Rectangular, Hexagonal or Trapezoidal."},
        {"SegmentStyleExp", &DisplaySettings::SegmentStyleExp, PropertyWork::Rebuild,
            "Exponent Value",
            "The shape of exponent digit segments: Rectangular, Hexagonal or Trapezoidal."},
        {"SegmentWidth", &DisplaySettings::SegmentWidth, PropertyWork::Rebuild, "Main Value",
            "The length, in pixels, of the short dimension of an individual main value display "
            "digit segment."},
        {"SegmentWidthExp", &DisplaySettings::SegmentWidthExp, PropertyWork::Rebuild,
            "Exponent Value",
            "The length, in pixels, of the short dimension of an individual exponent display digit "
            "segment."},
        {"ShowBurnIn", &DisplaySettings::ShowBurnIn, PropertyWork::Rebuild, "General Graphics",
            "If True, unlit segments are displayed with a faint \"burn-in' color to simulate a "
            "physical LED/LCD display."},
        {"ShowExponent", &DisplaySettings::ShowExponent, PropertyWork::Rebuild, "Exponent Value",
            "If True, an exponent is shown.  Set to False when using control as a simple counter."},
        {"ShowThousandsSeparator", &DisplaySettings::ShowThousandsSeparator, PropertyWork::Rebuild,
            "Main Value",
            "If True, groups of thousands are separated by the character in the "
            ".ThousandsSeparator property (comma or period)."},
        {"Theme", &DisplaySettings::Theme, PropertyWork::Theme, "General Graphics",
            "One of several predefined display styles."},
        {"ThousandsGrouping", &DisplaySettings::ThousandsGrouping, PropertyWork::Render,
            "Main Value",
            "The number of digits between thousands groups in a value (in the U.S., for example, "
            "the value is 3)."},
        {"ThousandsSeparator", &DisplaySettings::ThousandsSeparator, PropertyWork::Rebuild,
            "Main Value",
            "The character to be used to separate groups of digits (a comma or period)."},
        {"Value", &DisplaySettings::Value, PropertyWork::Value, "Main Value",
            "The value to be shown in the digital display."},
        {"XOffset", &DisplaySettings::XOffset, PropertyWork::Rebuild, "Main Value",
            "The number of pixels from the left edge of the control to start displaying main value "
            "digits."},
        {"XOffsetExp", &DisplaySettings::XOffsetExp, PropertyWork::Rebuild, "Exponent Value",
            "The number of pixels from the left edge of the control to start displaying exponent "
            "digits."},
        {"YOffset", &DisplaySettings::YOffset, PropertyWork::Rebuild, "Main Value",
            "The number of pixels from the top side of the control to display the LCD main value "
            "digits (does not take border into account)."},
        {"YOffsetExp", &DisplaySettings::YOffsetExp, PropertyWork::Rebuild, "Exponent Value",
            "The number of pixels from the top side of the control to display the LCD exponent "
            "digits (does not take border into account)."},
    };
    return properties;
}

const DisplayProperty *DisplayProperties::find(const QString &name)
{
    for (const DisplayProperty &property : all()) {
        if (name.compare(QLatin1String(property.name), Qt::CaseInsensitive) == 0)
            return &property;
    }
    return nullptr;
}
