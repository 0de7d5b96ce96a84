#pragma once

#include <QString>
#include <QWidget>

#include <array>

/// The members Name_0 ... Name_(N-1) of a control array in a form, by index; an index the design
/// does not use stays null.
template <typename Control, std::size_t N>
std::array<Control *, N> controlArray(const QWidget &form, const char *name)
{
    std::array<Control *, N> members{};
    for (std::size_t index = 0; index < N; ++index)
        members[index] =
            form.findChild<Control *>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index));
    return members;
}
