#pragma once

#include <QString>

/// Sets a caption or a box's text only when it changes, so that repeated updates cost a
/// comparison.
template <typename Control> void setCaption(Control *control, const QString &text)
{
    if (control->text() != text)
        control->setText(text);
}
