#include "lamp.h"

#include "controls/shape_control.h"

#include <QColor>

void light(ShapeControl *lamp, bool lit)
{
    static const QColor litColour(255, 0, 0);
    static const QColor offColour(255, 255, 255);
    lamp->setFillColor(lit ? litColour : offColour);
}
