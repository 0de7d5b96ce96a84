#pragma once

class ShapeControl;

/// The design's lamps: lit red, off white.
void light(ShapeControl *lamp, bool lit);
bool isLit(const ShapeControl &lamp);
