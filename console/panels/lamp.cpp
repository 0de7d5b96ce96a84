#include "lamp.h"

#include "controls/shape_control.h"

#include <QColor>

namespace {
const QColor kLit(255, 0, 0);
const QColor kOff(255, 255, 255);
} // namespace

void light(ShapeControl *lamp, bool lit)
{
    lamp->setFillColor(lit ? kLit : kOff);
}

bool isLit(const ShapeControl &lamp)
{
    return lamp.FillColor() == kLit;
}
