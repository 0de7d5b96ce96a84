#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <algorithm>
#include <limits>
#include <vector>

/// One-pixel lines drawn straight into a 32-bit image and clipped to it: the chart's data line
/// without the cost a general stroker pays per segment.
namespace LineRaster {
/// The rows a line touched in each column of an image, so that a later frame can put back just
/// those pixels instead of the whole picture.
class ColumnSpans
{
public:
    /// Forgets every span; the image is width columns wide.
    void clear(int width);
    void add(int x, int y)
    {
        Span &span = m_spans[std::size_t(x)];
        span.top = std::min(span.top, y);
        span.bottom = std::max(span.bottom, y);
    }
    /// Copies the touched pixels of every column from source into target, both the same size.
    void restore(QImage &target, const QImage &source) const;
    /// The smallest rectangle holding every touched pixel; empty when none was.
    QRect bounds() const;

private:
    struct Span
    {
        int top = std::numeric_limits<int>::max();
        int bottom = std::numeric_limits<int>::min();
    };
    std::vector<Span> m_spans;
};

/// Every pixel on each segment between consecutive points, both ends included; the pixels drawn
/// are added to touched when it is given.
void drawPolyline(QImage &image, const QPoint *points, qsizetype count, QRgb colour,
    ColumnSpans *touched = nullptr);
} // namespace LineRaster
