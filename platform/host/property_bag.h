#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <utility>

/// A control's stored properties: values by name, names matched without regard to case. A value
/// written equal to its default is not kept, so an instance with default settings stores nothing.
class PropertyBag
{
public:
    PropertyBag() = default;
    PropertyBag(std::initializer_list<std::pair<QString, QVariant>> entries);

    QVariant ReadProperty(const QString &name, const QVariant &defaultValue) const;
    void WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue);

    bool contains(const QString &name) const;
    /// The names as they were written.
    QStringList names() const;
    qsizetype size() const { return m_entries.size(); }

private:
    struct Entry
    {
        QString name;
        QVariant value;
    };
    QMap<QString, Entry> m_entries;
};
