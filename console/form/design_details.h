#pragma once

#include <QStringList>

class QWidget;
struct WindowControls;

/// Binds the form's controls and, when it has them all, gives them what the form file does not
/// carry: their colours, the custom controls' stored properties and the point sizes it cannot
/// hold. The names of the controls it lacks, empty when none is missing.
QStringList bindDesignedControls(QWidget &form, WindowControls &controls);

/// Marks the controls that repaint often and cover every pixel of their own, so that a change
/// of theirs leaves the frame and neighbours under them alone.
void markControlsThatPaintWhole(const WindowControls &controls);
