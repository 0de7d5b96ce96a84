#include "chart_properties.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {
std::optional<qint64> whole(const QVariant &value)
{
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

/// Rounded within 16 bits, where every tick count lives; nothing for a value beyond them.
std::optional<qint64> rounded(const QVariant &value)
{
    bool ok = false;
    const double number = value.typeId() == QMetaType::QString
        ? value.toString().trimmed().toDouble(&ok)
        : value.toDouble(&ok);
    const double nearest = std::nearbyint(number);
    if (!ok || !(nearest >= std::numeric_limits<qint16>::min())
        || !(nearest <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return qint64(nearest);
}

template <typename Integer> qint64 lowestOf()
{
    return std::numeric_limits<Integer>::min();
}

// Colours are 32 bits stored signed or unsigned alike: -1 is 0xFFFFFFFF, and a negative value
// with the high bit set names a system colour.
template <> qint64 lowestOf<OleColor>()
{
    return std::numeric_limits<qint32>::min();
}
} // namespace

QVariant ChartProperty::read(const ChartSettings &settings) const
{
    return std::visit([&settings](auto pointer) { return QVariant(settings.*pointer); }, member);
}

bool ChartProperty::write(ChartSettings &settings, const QVariant &value) const
{
    const std::optional<qint64> number =
        conversion == ChartConversion::Rounded ? rounded(value) : whole(value);
    return std::visit(
        [&](auto pointer) {
            using Integer = std::remove_reference_t<decltype(settings.*pointer)>;
            const qint64 highest = std::min<qint64>(std::numeric_limits<Integer>::max(), largest);
            if (!number || *number < lowestOf<Integer>() || *number > highest)
                return false;
            settings.*pointer = Integer(*number);
            return true;
        },
        member);
}

const std::vector<ChartProperty> &ChartProperties::all()
{
    using W = ChartWork;
    using C = ChartConversion;
    static const std::vector<ChartProperty> properties{
        {"Appearance", &ChartSettings::Appearance, C::Whole, W::Face},
        {"BorderStyle", &ChartSettings::BorderStyle, C::Whole, W::Face},
        {"DrawWidth", &ChartSettings::DrawWidth, C::Whole, W::None},
        {"GridTickHorizontal", &ChartSettings::GridTickHorizontal, C::Rounded, W::None},
        {"GridTickVertical", &ChartSettings::GridTickVertical, C::Rounded, W::None},
        {"NumberOfPoints", &ChartSettings::NumberOfPoints, C::Whole, W::Buffer,
            ChartSettings::kMaxNumberOfPoints},
        {"BackColor", &ChartSettings::BackColor, C::Whole, W::Face},
        {"GridColour", &ChartSettings::GridColour, C::Whole, W::None},
        {"Max", &ChartSettings::Max, C::Whole, W::None},
        {"ForeColor", &ChartSettings::ForeColor, C::Whole, W::Face},
    };
    return properties;
}

const ChartProperty &ChartProperties::at(ChartPropertyId id)
{
    return all()[std::size_t(id)];
}
