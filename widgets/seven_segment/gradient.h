#pragma once

#include <QImage>

/// The background gradient image behind the digits, computed once per size, colour or angle
/// change so that every paint and every digit erase is a plain copy. Colours are plain
/// 0x00BBGGRR values (red in the lowest byte). Returns a null image when the size is empty, so
/// the caller keeps the previous one.
QImage ComputeGradient(
    int width, int height, quint32 colour1, quint32 colour2, float angle, bool middleOut);
