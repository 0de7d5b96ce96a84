#include "font_fitting.h"

#include <QFontMetricsF>
#include <QSize>

#include <algorithm>

namespace {
bool linesFit(const QFont &font, const QStringList &lines, const QSize &box)
{
    const QFontMetricsF metrics(font);
    const bool narrowEnough = std::all_of(lines.cbegin(), lines.cend(),
        [&](const QString &line) { return metrics.horizontalAdvance(line) <= box.width(); });
    return narrowEnough && metrics.lineSpacing() * lines.size() <= box.height();
}
} // namespace

QFont fontFittingLines(QFont font, const QStringList &lines, const QSize &box, qreal smallestPoints)
{
    while (!linesFit(font, lines, box) && font.pointSizeF() - 0.5 >= smallestPoints)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}
