// ucHistogram: the overlays of earlier runs, drawn on a layer of their own over the canvas.
#include "uc_histogram.h"

#include "line_raster.h"
#include "twips.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace {
constexpr int kLegendMargin = 3;
constexpr int kLegendDash = 14;

/// An overlay's value at a run of rising stamps: each sample held until the next, nothing before
/// the first, after the last or within a gap.
class HeldValues
{
public:
    explicit HeldValues(const std::vector<HistorySample> &samples)
        : m_samples(samples)
    {
    }

    std::optional<qint32> at(qint64 stamp)
    {
        if (m_samples.empty() || stamp < m_samples.front().stamp || stamp > m_samples.back().stamp)
            return std::nullopt;
        if (m_next > 0 && m_samples[m_next - 1].stamp > stamp)
            m_next = 0;
        while (m_next < m_samples.size() && m_samples[m_next].stamp <= stamp)
            ++m_next;
        const qint32 value = m_samples[m_next - 1].value;
        return value != ChartOverlay::kGap ? std::optional(value) : std::nullopt;
    }

private:
    const std::vector<HistorySample> &m_samples;
    std::size_t m_next = 0;
};
} // namespace

void ucHistogram::setOverlays(const QList<ChartOverlay> &overlays)
{
    if (overlays.isEmpty())
        return clearOverlays();
    m_overlays = overlays;
    prepareLegend();
    if (m_drawn && !m_canvas.isNull())
        drawOverlays();
}

void ucHistogram::clearOverlays()
{
    if (m_overlays.isEmpty())
        return;
    m_overlays.clear();
    m_legend = QImage();
    m_overlayLayer = QImage();
    update(m_overlayArea.translated(contentsRect().topLeft() - QPoint(kHiddenStrip, 0)));
    m_overlayArea = QRect();
}

/// Each redraw of the canvas draws the overlays again for its view; the face repaints what
/// they covered before and cover now.
void ucHistogram::drawOverlays()
{
    QRect before = m_overlayArea;
    if (m_overlayLayer.size() != m_canvas.size()) {
        m_overlayLayer = QImage(m_canvas.size(), QImage::Format_ARGB32_Premultiplied);
        m_overlayLayer.fill(Qt::transparent);
        before = m_overlayLayer.rect();
    } else {
        clearOverlayArea();
    }
    const bool thin = m_settings.DrawWidth <= 1;
    std::unique_ptr<QPainter> painter;
    if (!thin)
        painter = std::make_unique<QPainter>(&m_overlayLayer);
    m_overlaySpans.clear(m_overlayLayer.width());
    const qsizetype drawn = m_history ? m_overlays.size() : 0;
    for (qsizetype index = 0; index < drawn; ++index) {
        const ChartOverlay &overlay = m_overlays[index];
        if (m_view.isLive())
            liveOverlayPolyline(overlay, m_overlayPolyline);
        else
            viewOverlayPolyline(overlay, m_overlayPolyline);
        const QColor colour = ChartOverlay::colour(index);
        if (painter) {
            QPen pen(colour, m_settings.DrawWidth);
            pen.setCosmetic(true);
            painter->setPen(pen);
        }
        const std::vector<QPoint> &points = m_overlayPolyline.points;
        const std::vector<std::size_t> &starts = m_overlayPolyline.runStarts;
        for (std::size_t run = 0; run < starts.size(); ++run) {
            const std::size_t end = run + 1 < starts.size() ? starts[run + 1] : points.size();
            const qsizetype count = qsizetype(end - starts[run]);
            if (painter && count > 1)
                painter->drawPolyline(points.data() + starts[run], int(count));
            else if (!painter)
                LineRaster::drawPolyline(m_overlayLayer, points.data() + starts[run], count,
                    colour.rgba(), &m_overlaySpans);
        }
    }
    QRect area = painter ? m_overlayLayer.rect() : m_overlaySpans.bounds();
    if (!m_legend.isNull()) {
        const QPoint corner(kHiddenStrip + kLegendMargin, kLegendMargin);
        if (!painter)
            painter = std::make_unique<QPainter>(&m_overlayLayer);
        painter->drawImage(corner, m_legend);
        area |= QRect(corner, m_legend.size());
    }
    painter.reset();
    m_overlayArea = area;
    update((before | area).translated(contentsRect().topLeft() - QPoint(kHiddenStrip, 0)));
}

void ucHistogram::clearOverlayArea()
{
    const QRect area = m_overlayArea & m_overlayLayer.rect();
    const std::size_t bytes = std::size_t(area.width()) * sizeof(QRgb);
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memset(m_overlayLayer.scanLine(y) + area.left() * int(sizeof(QRgb)), 0, bytes);
}

/// As the live line: slot j at x = (j + 1) × PointStep + PointOffset, the slot's sample being
/// the one filled - j before the newest; slots past the newest go on a tenth of a second each.
void ucHistogram::liveOverlayPolyline(const ChartOverlay &overlay, ChartPolyline &line) const
{
    line.clear();
    const std::optional<qint32> scale =
        ChartGeometry::verticalScale(height() * Twips::kPerPixel, m_settings.Max);
    const qint64 anchor = m_history->end() - 1 - m_pointBuffer.filled();
    const auto [from, to] = overlaySpan(overlay, anchor, anchor + m_pointBuffer.capacity());
    HeldValues values(overlay.samples);
    for (qint64 index = from; index <= to; ++index) {
        const std::optional<qint32> value = values.at(stampAt(index));
        const qint64 x = (index - anchor + 1) * m_spacings.PointStep + m_spacings.PointOffset;
        const qint64 y = value ? (qint64(m_settings.Max) - *value) * scale.value_or(0) : 0;
        if (!value || x > std::numeric_limits<qint32>::max()
            || y < std::numeric_limits<qint32>::min() || y > std::numeric_limits<qint32>::max()) {
            line.breakRun();
            continue;
        }
        line.append(QPoint(ChartGeometry::toPixels(x), ChartGeometry::toPixels(y)));
    }
}

/// As the view's line: the samples of a pixel column from their highest to their lowest, and the
/// samples either side of the window, in columns off the face, where the view's line has them.
void ucHistogram::viewOverlayPolyline(const ChartOverlay &overlay, ChartPolyline &line) const
{
    line.clear();
    const qint32 columns = m_canvas.width() - kHiddenStrip;
    if (columns <= 0)
        return;
    const ChartView::Recorded kept = recorded();
    const qint32 across = m_view.across();
    const qint64 first = m_view.firstShown(kept);
    const int rows = m_canvas.height();
    const qint64 left = first > kept.first ? first - 1 : first;
    const qint64 right = first + across < kept.end ? first + across : first + across - 1;
    const auto [from, to] = overlaySpan(overlay, left, right);
    const auto columnOf = [&](qint64 index) {
        return SampleHistory::columnOf(index - first, across, columns);
    };
    HeldValues values(overlay.samples);
    for (qint64 index = from; index <= to;) {
        const qint32 column = columnOf(index);
        qint32 lowest = std::numeric_limits<qint32>::max();
        qint32 highest = std::numeric_limits<qint32>::min();
        for (; index <= to && columnOf(index) == column; ++index) {
            if (const std::optional<qint32> value = values.at(stampAt(index))) {
                lowest = std::min(lowest, *value);
                highest = std::max(highest, *value);
            }
        }
        if (lowest > highest) {
            line.breakRun();
            continue;
        }
        line.appendColumn(
            kHiddenStrip + column, m_view.rowOf(highest, rows), m_view.rowOf(lowest, rows));
    }
}

/// Stamps never fall as the index rises, so two searches bound the overlay's samples.
std::pair<qint64, qint64> ucHistogram::overlaySpan(
    const ChartOverlay &overlay, qint64 from, qint64 to) const
{
    if (overlay.samples.empty() || from > to)
        return {from, from - 1};
    const auto firstWhere = [this](qint64 low, qint64 high, auto passes) {
        while (low < high) {
            const qint64 middle = low + (high - low) / 2;
            if (passes(stampAt(middle)))
                high = middle;
            else
                low = middle + 1;
        }
        return low;
    };
    const qint64 earliest = overlay.samples.front().stamp;
    const qint64 latest = overlay.samples.back().stamp;
    const qint64 start =
        firstWhere(from, to + 1, [earliest](qint64 stamp) { return stamp >= earliest; });
    const qint64 end = firstWhere(start, to + 1, [latest](qint64 stamp) { return stamp > latest; });
    return {start, end - 1};
}

qint64 ucHistogram::stampAt(qint64 index) const
{
    const qint64 first = m_history->first();
    const qint64 end = m_history->end();
    if (end == first)
        return index;
    if (index >= end)
        return m_history->at(end - 1).stamp + (index - (end - 1));
    if (index < first)
        return m_history->at(first).stamp - (first - index);
    return m_history->at(index).stamp;
}

/// The legend is drawn once per set of overlays: a dash in each overlay's colour and its text,
/// on the face's colour a little see-through, as the view caption is. An overlay with no text
/// has no line in it.
void ucHistogram::prepareLegend()
{
    m_legend = QImage();
    const QFontMetrics metrics(font());
    const int widest = std::max(m_canvas.width() - kHiddenStrip, 200) / 2;
    std::vector<std::pair<QString, QColor>> lines;
    int width = 0;
    for (qsizetype index = 0; index < m_overlays.size(); ++index) {
        if (m_overlays[index].legend.isEmpty())
            continue;
        lines.emplace_back(metrics.elidedText(m_overlays[index].legend, Qt::ElideRight, widest),
            ChartOverlay::colour(index));
        width = std::max(width, metrics.horizontalAdvance(lines.back().first));
    }
    if (lines.empty())
        return;
    const int lineHeight = metrics.height();
    m_legend = QImage(kLegendDash + 3 * kLegendMargin + width,
        lineHeight * int(lines.size()) + kLegendMargin, QImage::Format_ARGB32_Premultiplied);
    QColor ground = palette().color(QPalette::Window);
    ground.setAlpha(192);
    m_legend.fill(ground);
    QPainter painter(&m_legend);
    painter.setFont(font());
    int top = kLegendMargin / 2;
    for (const auto &[text, colour] : lines) {
        painter.fillRect(QRect(kLegendMargin, top + lineHeight / 2 - 1, kLegendDash, 2), colour);
        painter.setPen(colour);
        painter.drawText(QRect(kLegendDash + 2 * kLegendMargin, top, width, lineHeight),
            Qt::AlignLeft | Qt::AlignVCenter, text);
        top += lineHeight;
    }
}
