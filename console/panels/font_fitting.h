#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QSize;

/// The font at its own size when every line fits the box one under another, otherwise at the
/// largest smaller size (in half points, down to smallestPoints) at which they do.
QFont fontFittingLines(
    QFont font, const QStringList &lines, const QSize &box, qreal smallestPoints);

/// A one-line text as a label of the given width shows it.
struct FittedLine
{
    QString text;
    QFont font;
};

/// The whole text in the font at its own size or, where that is too wide, in the largest
/// smaller size (in half points, down to smallestPoints) that holds it; failing that, at the
/// smallest size with the part that may be cut (a path within the text) shortened in its middle,
/// so that what leads and what follows it stay whole; only then the text cut at its end.
FittedLine fitOneLine(
    QFont font, const QString &text, int width, qreal smallestPoints, const QString &cuttable = {});
