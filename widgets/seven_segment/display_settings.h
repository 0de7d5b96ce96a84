#pragma once

#include "ole_color.h"
#include "segment_geometry.h"

#include <QPixmap>
#include <QString>

/// How a background picture is placed.
enum PictureModeKind { picRegular = 0, picStretched = 1, picTiled = 2 };

/// Every property of the seven-segment display, with the defaults of a new instance.
struct DisplaySettings
{
    float BackAngle = 90.0f;
    OleColor BackColor1 = 0x000000;
    OleColor BackColor2 = 0x000000;
    bool BackMiddleOut = true;
    OleColor BorderColor = 0xFF0000;
    qint16 BorderWidth = 1;
    OleColor BurnInColor = 0x505000;
    OleColor BurnInColorNeg = 0x505000;
    qint32 CurveBottomLeft = 0;
    qint32 CurveBottomRight = 0;
    qint32 CurveTopLeft = 0;
    qint32 CurveTopRight = 0;
    qint32 DecimalSeparator = sepPeriod;
    qint32 InterDigitGap = 6;
    qint32 InterDigitGapExp = 2;
    qint32 InterSegmentGap = 0;
    qint32 InterSegmentGapExp = 0;
    qint32 NumDigits = 20;
    qint32 NumDigitsExp = 4;
    QPixmap Picture;
    qint32 PictureMode = picRegular;
    qint32 SegmentFillStyle = fillSolid;
    qint32 SegmentHeight = 8;
    qint32 SegmentHeightExp = 6;
    OleColor SegmentLitColor = 0xFFFF00;
    OleColor SegmentLitColorNeg = 0xFFFF00;
    qint32 SegmentStyle = segRectangular;
    qint32 SegmentStyleExp = segRectangular;
    qint32 SegmentWidth = 3;
    qint32 SegmentWidthExp = 3;
    bool ShowBurnIn = true;
    bool ShowExponent = true;
    bool ShowThousandsSeparator = false;
    qint32 Theme = 5;
    qint32 ThousandsGrouping = 3;
    qint32 ThousandsSeparator = sepComma;
    QString Value = QStringLiteral("1234567890");
    qint32 XOffset = 5;
    qint32 XOffsetExp = 355;
    qint32 YOffset = 5;
    qint32 YOffsetExp = 5;
};
