#include "picture_comparison.h"

#include <algorithm>
#include <cstdlib>

namespace {
int channelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
        std::abs(qBlue(a) - qBlue(b))});
}

QString pointText(const QPoint &point)
{
    return QStringLiteral("(%1, %2)").arg(point.x()).arg(point.y());
}
} // namespace

PictureComparison::PictureComparison(
    const QImage &picture, const QImage &expected, const QList<QRect> &exactAreas)
{
    if (picture.size() != expected.size()) {
        m_failure = QStringLiteral("size %1 × %2, expected %3 × %4")
                        .arg(picture.width())
                        .arg(picture.height())
                        .arg(expected.width())
                        .arg(expected.height());
        return;
    }
    const QImage actualPixels = picture.convertToFormat(QImage::Format_RGB32);
    const QImage expectedPixels = expected.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int y = 0; y < actualPixels.height(); ++y) {
        const auto *actualRow = reinterpret_cast<const QRgb *>(actualPixels.constScanLine(y));
        const auto *expectedRow = reinterpret_cast<const QRgb *>(expectedPixels.constScanLine(y));
        for (int x = 0; x < actualPixels.width(); ++x) {
            const int difference = channelDifference(actualRow[x], expectedRow[x]);
            if (difference == 0)
                continue;
            const QPoint point(x, y);
            if (!m_pixel)
                m_pixel = point;
            const bool exact = std::any_of(exactAreas.cbegin(), exactAreas.cend(),
                [&point](const QRect &area) { return area.contains(point); });
            if (exact) {
                m_pixel = point;
                m_failure =
                    QStringLiteral("pixel %1 differs inside an exact area").arg(pointText(point));
                return;
            }
            if (difference > kLargestChannelDifference) {
                m_pixel = point;
                m_failure = QStringLiteral("pixel %1 differs by %2 in a channel")
                                .arg(pointText(point))
                                .arg(difference);
                return;
            }
            ++differing;
        }
    }
    const qint64 allowed =
        qint64(kLargestDifferingShare * actualPixels.width() * actualPixels.height());
    if (differing > allowed)
        m_failure = QStringLiteral("%1 pixels differ, at most %2 may, the first at %3")
                        .arg(differing)
                        .arg(allowed)
                        .arg(pointText(*m_pixel));
    else
        m_pixel.reset();
}
