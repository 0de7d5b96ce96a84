#include "display_format.h"

#include <cstdlib>

QString DisplayFormat::tenthsAsDegrees(int tenths)
{
    const int magnitude = std::abs(tenths);
    QString text = QString::number(magnitude / 10);
    if (magnitude % 10 != 0)
        text += u'.' + QString::number(magnitude % 10);
    return tenths < 0 ? u'-' + text : text;
}

QString DisplayFormat::percentage(double value)
{
    return QString::number(value, 'f', 2) + u'%';
}
