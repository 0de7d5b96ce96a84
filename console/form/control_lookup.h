#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

/// Finds the design's controls by their object names, the one place that knows them, and keeps
/// each name it could not find, so that a design without one stops start-up naming it instead
/// of crashing on its first use.
class ControlLookup
{
public:
    explicit ControlLookup(QWidget &form)
        : m_form(form)
    {
    }

    template <typename Control = QWidget> Control *find(const QString &name)
    {
        if (name == m_form.objectName()) {
            if (auto *form = qobject_cast<Control *>(&m_form))
                return form;
        }
        auto *control = m_form.findChild<Control *>(name);
        if (!control && !m_missing.contains(name))
            m_missing.append(name);
        return control;
    }

    /// The members Name_0 ... Name_(N-1) of a control array, by index.
    template <typename Control, std::size_t N> std::array<Control *, N> array(const char *name)
    {
        std::array<Control *, N> members{};
        for (std::size_t index = 0; index < N; ++index)
            members[index] =
                find<Control>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index));
        return members;
    }

    QWidget &form() const { return m_form; }
    const QStringList &missing() const { return m_missing; }

private:
    QWidget &m_form;
    QStringList m_missing;
};
