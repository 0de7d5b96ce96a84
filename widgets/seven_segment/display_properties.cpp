#include "display_properties.h"

#include <limits>
#include <optional>

namespace {
// The list's types are the settings' types, so that the accessors and the table agree.
#define MORPH_DISPLAY_SAME_TYPE(type, name, ...)                                                   \
    static_assert(std::is_same_v<decltype(DisplaySettings::name), type>, #name);
MORPH_DISPLAY_PROPERTIES(MORPH_DISPLAY_SAME_TYPE)
#undef MORPH_DISPLAY_SAME_TYPE

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
#define MORPH_DISPLAY_PROPERTY(type, name, work, category, help)                                   \
    {#name, &DisplaySettings::name, PropertyWork::work, category, help},
    static const std::vector<DisplayProperty> properties{
        MORPH_DISPLAY_PROPERTIES(MORPH_DISPLAY_PROPERTY)};
#undef MORPH_DISPLAY_PROPERTY
    return properties;
}

const DisplayProperty &DisplayProperties::at(DisplayPropertyId id)
{
    return all()[std::size_t(id)];
}

const DisplayProperty *DisplayProperties::find(const QString &name)
{
    for (const DisplayProperty &property : all()) {
        if (name.compare(QLatin1String(property.name), Qt::CaseInsensitive) == 0)
            return &property;
    }
    return nullptr;
}
