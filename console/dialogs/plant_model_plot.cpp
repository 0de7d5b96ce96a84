#include "plant_model_plot.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kLeftMargin = 52;
constexpr int kRightMargin = 12;
constexpr int kTopMargin = 22;
constexpr int kBottomMargin = 22;
constexpr int kGap = 14;
// The residual's strip, as a share of the height drawn in.
constexpr double kResidualShare = 0.28;
// The residual's scale never narrows below the record's own step of 0.1 °C, twice over.
constexpr double kLeastResidualScale = 0.2;
const QColor kRecordColour(90, 90, 90);
const QColor kModelColour(0, 90, 200);
const QColor kResidualColour(200, 40, 40);
const QColor kAxisColour(160, 160, 160);

/// Maps seconds and °C to a rectangle of the widget.
struct Scale
{
    QRectF area;
    double fromSeconds;
    double toSeconds;
    double low;
    double high;
    QPointF at(QPointF point) const
    {
        const double x = area.left()
            + (point.x() - fromSeconds) / std::max(toSeconds - fromSeconds, 1e-9) * area.width();
        const double y =
            area.bottom() - (point.y() - low) / std::max(high - low, 1e-9) * area.height();
        return {x, y};
    }
};

/// A curve of thousands of lines drawn as what a pixel column can show: where it went lowest
/// and highest within the column.
QPainterPath pathOf(const std::vector<QPointF> &points, const Scale &scale)
{
    QPainterPath path;
    if (points.empty())
        return path;
    QPointF first = scale.at(points.front());
    int column = int(std::floor(first.x()));
    double low = first.y();
    double high = first.y();
    path.moveTo(first);
    const auto drawColumn = [&] {
        path.lineTo(column, low);
        path.lineTo(column, high);
    };
    for (const QPointF &point : points) {
        const QPointF at = scale.at(point);
        if (int(std::floor(at.x())) != column) {
            drawColumn();
            column = int(std::floor(at.x()));
            low = high = at.y();
        }
        low = std::min(low, at.y());
        high = std::max(high, at.y());
    }
    drawColumn();
    return path;
}

QString degrees(double value, int places)
{
    return QString::number(value, 'f', places);
}
} // namespace

PlantModelPlot::PlantModelPlot(QWidget *parent)
    : SurfacePlot(parent)
{
    setMinimumSize(320, 200);
}

void PlantModelPlot::setCurves(std::vector<QPointF> recorded, std::vector<QPointF> model)
{
    m_recorded = std::move(recorded);
    m_model = std::move(model);
    redraw();
}

QSize PlantModelPlot::sizeHint() const
{
    return {600, 340};
}

void PlantModelPlot::drawSurface(QPixmap &surface)
{
    if (m_recorded.empty() || m_model.size() != m_recorded.size())
        return;
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF inner =
        QRectF(rect()).adjusted(kLeftMargin, kTopMargin, -kRightMargin, -kBottomMargin);
    const double residualHeight = (inner.height() - kGap) * kResidualShare;
    const QRectF curves(
        inner.left(), inner.top(), inner.width(), inner.height() - kGap - residualHeight);
    const QRectF residuals(inner.left(), curves.bottom() + kGap, inner.width(), residualHeight);

    const auto [coolest, hottest] = std::minmax_element(m_recorded.cbegin(), m_recorded.cend(),
        [](QPointF one, QPointF other) { return one.y() < other.y(); });
    const double margin = std::max(0.5, (hottest->y() - coolest->y()) * 0.05);
    const double from = m_recorded.front().x();
    const double to = m_recorded.back().x();
    const Scale curveScale{curves, from, to, coolest->y() - margin, hottest->y() + margin};

    std::vector<QPointF> residual;
    double widest = kLeastResidualScale;
    for (std::size_t k = 0; k < m_recorded.size(); ++k) {
        const double difference = m_recorded[k].y() - m_model[k].y();
        residual.emplace_back(m_recorded[k].x(), difference);
        widest = std::max(widest, std::abs(difference));
    }
    const Scale residualScale{residuals, from, to, -widest, widest};

    painter.setPen(QPen(kAxisColour, 1));
    painter.drawRect(curves);
    painter.drawRect(residuals);
    painter.drawLine(residualScale.at({from, 0.0}), residualScale.at({to, 0.0}));

    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics = painter.fontMetrics();
    const auto leftLabel = [&](double y, const QString &text) {
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, kLeftMargin - 4, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, text);
    };
    leftLabel(curves.top(), degrees(curveScale.high, 1));
    leftLabel(curves.bottom(), degrees(curveScale.low, 1));
    leftLabel(residuals.top(), u'+' + degrees(widest, 2));
    leftLabel(residuals.bottom(), u'-' + degrees(widest, 2));
    painter.drawText(QRectF(inner.left(), inner.bottom() + 2, inner.width(), kBottomMargin - 2),
        Qt::AlignLeft | Qt::AlignTop, tr("0 s"));
    painter.drawText(QRectF(inner.left(), inner.bottom() + 2, inner.width(), kBottomMargin - 2),
        Qt::AlignRight | Qt::AlignTop, tr("%1 s").arg(to - from, 0, 'f', 0));
    painter.drawText(QRectF(inner.left(), 0, inner.width(), kTopMargin),
        Qt::AlignLeft | Qt::AlignVCenter, tr("℃：记录（灰）与模型（蓝）"));
    painter.drawText(
        QRectF(residuals.left() + 4, residuals.top(), residuals.width(), metrics.height()),
        Qt::AlignLeft | Qt::AlignTop, tr("记录减模型（红）"));

    painter.setClipRect(curves);
    painter.setPen(QPen(kRecordColour, 1));
    painter.drawPath(pathOf(m_recorded, curveScale));
    painter.setPen(QPen(kModelColour, 2));
    painter.drawPath(pathOf(m_model, curveScale));
    painter.setClipRect(residuals);
    painter.setPen(QPen(kResidualColour, 1));
    painter.drawPath(pathOf(residual, residualScale));
}
