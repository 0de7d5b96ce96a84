#pragma once

#include <QFont>
#include <QStringList>

class QSize;

/// The font at its own size when every line fits the box one under another, otherwise at the
/// largest smaller size (in half points, down to smallestPoints) at which they do.
QFont fontFittingLines(
    QFont font, const QStringList &lines, const QSize &box, qreal smallestPoints);
