#include "font_fitting.h"

#include <QFontMetricsF>
#include <QSize>

#include <algorithm>
#include <cmath>

namespace {
bool linesFit(const QFont &font, const QStringList &lines, const QSize &box)
{
    const QFontMetricsF metrics(font);
    const bool narrowEnough = std::all_of(lines.cbegin(), lines.cend(),
        [&](const QString &line) { return metrics.horizontalAdvance(line) <= box.width(); });
    return narrowEnough && metrics.lineSpacing() * lines.size() <= box.height();
}

/// Whole pixels, as a label lays the text out.
int advance(const QFontMetricsF &metrics, const QString &text)
{
    return int(std::ceil(metrics.horizontalAdvance(text)));
}
} // namespace

QFont fontFittingLines(QFont font, const QStringList &lines, const QSize &box, qreal smallestPoints)
{
    while (!linesFit(font, lines, box) && font.pointSizeF() - 0.5 >= smallestPoints)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

FittedLine fitOneLine(
    QFont font, const QString &text, int width, qreal smallestPoints, const QString &cuttable)
{
    while (advance(QFontMetricsF(font), text) > width && font.pointSizeF() - 0.5 >= smallestPoints)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    const QFontMetricsF metrics(font);
    if (advance(metrics, text) <= width)
        return {text, font};
    const qsizetype at = cuttable.isEmpty() ? -1 : text.lastIndexOf(cuttable);
    if (at >= 0) {
        const QString before = text.left(at);
        const QString after = text.mid(at + cuttable.size());
        const int room = width - advance(metrics, before) - advance(metrics, after);
        const QString cut = metrics.elidedText(cuttable, Qt::ElideMiddle, room);
        if (!cut.isEmpty() && advance(metrics, before + cut + after) <= width)
            return {before + cut + after, font};
    }
    return {metrics.elidedText(text, Qt::ElideRight, width), font};
}
