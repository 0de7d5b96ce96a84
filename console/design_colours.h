#pragma once

class QWidget;

/// Gives the window and its controls their back and fore colours as the design lists them,
/// containers before the controls they hold, which inherit every colour they do not set.
void applyDesignColours(QWidget &window);
