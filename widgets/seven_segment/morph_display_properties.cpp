#include "morph_display.h"

#include "display_themes.h"
#include "property_bag.h"

/// Stores the value unchecked, tells the host, then does the property's work.
template <typename T> bool MorphDisplay::change(DisplayPropertyId id, const T &value)
{
    const DisplayProperty &property = DisplayProperties::at(id);
    m_settings.*std::get<T DisplaySettings::*>(property.member) = value;
    emit PropertyChanged(QLatin1String(property.name));
    return doWork(property.work);
}

#define MORPH_DISPLAY_SETTER(type, name, ...)                                                      \
    bool MorphDisplay::set##name(SetterArgument<type> value)                                       \
    {                                                                                              \
        return change<type>(DisplayPropertyId::name, value);                                       \
    }
MORPH_DISPLAY_PROPERTIES(MORPH_DISPLAY_SETTER)
#undef MORPH_DISPLAY_SETTER

bool MorphDisplay::doWork(PropertyWork work)
{
    switch (work) {
    case PropertyWork::Rebuild:
        if (!Rebuild())
            return false;
        RenderValue(m_settings.Value, true);
        return true;
    case PropertyWork::Gradient:
        ComputeGradient();
        [[fallthrough]];
    case PropertyWork::Redraw:
        Redraw();
        return true;
    case PropertyWork::Render:
        RenderValue(m_settings.Value, true);
        return true;
    case PropertyWork::Value:
        RenderValue(m_settings.Value, false);
        return true;
    case PropertyWork::Theme:
        return applyTheme();
    }
    return false;
}

bool MorphDisplay::applyTheme()
{
    if (const std::optional<QSize> size = DisplayThemes::apply(m_settings.Theme, m_settings))
        resize(*size);
    const bool rebuilt = Rebuild();
    Redraw();
    return rebuilt;
}

void MorphDisplay::InitProperties()
{
    m_settings = DisplaySettings();
}

bool MorphDisplay::ReadProperties(const PropertyBag &bag, QStringList *unread)
{
    const QStringList failed = readStoredSettings(bag);
    if (unread)
        *unread = failed;
    evenSlantedSegments();
    if (!Rebuild())
        return false;
    RenderValue(m_settings.Value, true);
    return failed.isEmpty();
}

/// Every stored setting, the default for one missing or unreadable; returns the unreadable.
QStringList MorphDisplay::readStoredSettings(const PropertyBag &bag)
{
    const DisplaySettings defaults;
    QStringList failed;
    for (const DisplayProperty &property : DisplayProperties::all()) {
        const QString name = QLatin1String(property.name);
        const QVariant fallback = property.read(defaults);
        const QVariant stored = bag.ReadProperty(name, fallback);
        if (property.write(m_settings, stored))
            continue;
        qWarning("MorphDisplay: stored %s \"%s\" cannot be read; the default is used",
            property.name, qUtf8Printable(stored.toString()));
        property.write(m_settings, fallback);
        failed.append(name);
    }
    return failed;
}

/// Slanted segments need even sizes to meet in a point. An oversized one is left as it is, for
/// the rebuild to refuse.
void MorphDisplay::evenSlantedSegments()
{
    if (m_settings.SegmentStyle != segHexagonal && m_settings.SegmentStyle != segTrapezoidal)
        return;
    const auto raisedToEven = [](qint32 size) {
        return withinGeometry({size}) && size % 2 != 0 ? size + 1 : size;
    };
    m_settings.SegmentWidth = raisedToEven(m_settings.SegmentWidth);
    m_settings.SegmentHeight = raisedToEven(m_settings.SegmentHeight);
}

void MorphDisplay::WriteProperties(PropertyBag &bag) const
{
    const DisplaySettings defaults;
    for (const DisplayProperty &property : DisplayProperties::all()) {
        const QString name = QLatin1String(property.name);
        if (std::holds_alternative<QPixmap DisplaySettings::*>(property.member)) {
            if (!m_settings.Picture.isNull())
                bag.WriteProperty(name, QVariant::fromValue(m_settings.Picture), QVariant());
            continue;
        }
        bag.WriteProperty(name, property.read(m_settings), property.read(defaults));
    }
}

QString MorphDisplay::PropertyHelp(const QString &name)
{
    const DisplayProperty *property = DisplayProperties::find(name);
    return property ? QString::fromUtf8(property->help) : QString();
}

QString MorphDisplay::PropertyCategory(const QString &name)
{
    const DisplayProperty *property = DisplayProperties::find(name);
    return property ? QString::fromUtf8(property->category) : QString();
}
