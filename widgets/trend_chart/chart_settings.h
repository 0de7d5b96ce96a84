#pragma once

#include "ole_color.h"

/// Every property of the trend chart, with the defaults of a new instance.
struct ChartSettings
{
    /// The most samples a chart keeps: 4 MB of buffer, walked on every redraw. Larger counts are
    /// refused rather than left to exhaust memory.
    static constexpr qint32 kMaxNumberOfPoints = 1000000;

    qint16 Appearance = 1;
    qint16 BorderStyle = 1;
    qint16 DrawWidth = 1;
    qint16 GridTickHorizontal = 10;
    qint16 GridTickVertical = 25;
    qint32 NumberOfPoints = 100;
    OleColor BackColor = SystemColor::ButtonText;
    OleColor GridColour = 0x008000;
    qint32 Max = 100;
    OleColor ForeColor = 0x00FF00;
};
