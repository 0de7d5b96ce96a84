#pragma once

#include "chart_settings.h"

#include <QVariant>

#include <limits>
#include <variant>
#include <vector>

/// What writing a chart property does besides storing the value and telling the host.
enum class ChartWork {
    None, // takes effect at the next resize or redraw
    Face, // applied to the face at once
    Buffer, // the sample buffer follows the new count before the host is told
};

/// How a written or stored value becomes the property's integer.
enum class ChartConversion {
    Whole, // a whole number; colours are 32 bits, signed or unsigned alike
    Rounded, // any number or numeric text, rounded to the nearest, halves to even
};

/// One property of the chart: its name, which is also its key in the store, where its value
/// lives, how a value converts, the largest value taken and the work a write causes.
struct ChartProperty
{
    using Member =
        std::variant<qint16 ChartSettings::*, qint32 ChartSettings::*, OleColor ChartSettings::*>;

    const char *name;
    Member member;
    ChartConversion conversion;
    ChartWork work;
    qint64 largest = std::numeric_limits<qint64>::max();

    QVariant read(const ChartSettings &settings) const;
    /// Stores a value converted to the property's type; false, storing nothing, when it does not
    /// convert or leaves the range.
    bool write(ChartSettings &settings, const QVariant &value) const;
};

/// A property's position in the table.
enum class ChartPropertyId {
    Appearance,
    BorderStyle,
    DrawWidth,
    GridTickHorizontal,
    GridTickVertical,
    NumberOfPoints,
    BackColor,
    GridColour,
    Max,
    ForeColor,
};

namespace ChartProperties {
/// Every property in the order of loading and saving.
const std::vector<ChartProperty> &all();
const ChartProperty &at(ChartPropertyId id);
} // namespace ChartProperties
