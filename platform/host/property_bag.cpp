#include "property_bag.h"

namespace {
QString keyOf(const QString &name)
{
    return name.toCaseFolded();
}
} // namespace

PropertyBag::PropertyBag(std::initializer_list<std::pair<QString, QVariant>> entries)
{
    for (const auto &[name, value] : entries)
        m_entries.insert(keyOf(name), {name, value});
}

QVariant PropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue) const
{
    const auto entry = m_entries.constFind(keyOf(name));
    return entry == m_entries.cend() ? defaultValue : entry->value;
}

void PropertyBag::WriteProperty(
    const QString &name, const QVariant &value, const QVariant &defaultValue)
{
    if (value == defaultValue)
        m_entries.remove(keyOf(name));
    else
        m_entries.insert(keyOf(name), {name, value});
}

bool PropertyBag::contains(const QString &name) const
{
    return m_entries.contains(keyOf(name));
}

QStringList PropertyBag::names() const
{
    QStringList names;
    for (const Entry &entry : m_entries)
        names.append(entry.name);
    return names;
}
