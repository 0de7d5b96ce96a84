#pragma once

#include "display_settings.h"

#include <QVariant>

#include <variant>
#include <vector>

/// What setting a property makes the display do after storing the value.
enum class PropertyWork {
    Rebuild, // rebuild surfaces, shapes and layout, then repaint the value
    Redraw, // repaint background, border and value
    Gradient, // recompute the gradient, then redraw
    Render, // repaint the value only
    Value, // show the new value, repainting only the changed cells
    Theme, // apply the preset
};

/// One property of the display: its name, where its value lives, the work a change causes, and
/// what the designer shows for it.
struct DisplayProperty
{
    using Member = std::variant<float DisplaySettings::*, bool DisplaySettings::*,
        qint16 DisplaySettings::*, qint32 DisplaySettings::*, quint32 DisplaySettings::*,
        QString DisplaySettings::*, QPixmap DisplaySettings::*>;

    const char *name;
    Member member;
    PropertyWork work;
    const char *category;
    const char *help;

    QVariant read(const DisplaySettings &settings) const;
    /// Stores a value converted to the property's type; false when it does not convert.
    bool write(DisplaySettings &settings, const QVariant &value) const;
};

namespace DisplayProperties {
/// Every property, Picture first.
const std::vector<DisplayProperty> &all();
const DisplayProperty *find(const QString &name);
} // namespace DisplayProperties
