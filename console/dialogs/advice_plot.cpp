#include "advice_plot.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {
constexpr int kLeftMargin = 52;
constexpr int kRightMargin = 12;
constexpr int kTopMargin = 22;
constexpr int kBottomMargin = 22;
constexpr double kBand = 0.5;
const QColor kOtherColour(170, 170, 170);
const QColor kChosenColour(0, 90, 200);
const QColor kTargetColour(200, 40, 40);
const QColor kBandColour(200, 40, 40, 28);
const QColor kAxisColour(160, 160, 160);
} // namespace

AdvicePlot::AdvicePlot(QWidget *parent)
    : SurfacePlot(parent)
{
    setMinimumSize(320, 180);
}

void AdvicePlot::setCurves(std::vector<std::vector<QPointF>> curves, double from, double target)
{
    m_curves = std::move(curves);
    m_from = from;
    m_target = target;
    redraw();
}

void AdvicePlot::setChosen(int candidate)
{
    m_chosen = candidate;
    redraw();
}

QSize AdvicePlot::sizeHint() const
{
    return {600, 260};
}

void AdvicePlot::drawSurface(QPixmap &surface)
{
    if (m_curves.empty() || m_curves.front().empty())
        return;
    double low = std::min(m_from, m_target) - kBand;
    double high = std::max(m_from, m_target) + kBand;
    double end = 0.0;
    for (const std::vector<QPointF> &curve : m_curves) {
        for (const QPointF &point : curve) {
            low = std::min(low, point.y());
            high = std::max(high, point.y());
            end = std::max(end, point.x());
        }
    }
    const QRectF area =
        QRectF(rect()).adjusted(kLeftMargin, kTopMargin, -kRightMargin, -kBottomMargin);
    const auto at = [&](QPointF point) {
        return QPointF(area.left() + point.x() / std::max(end, 1e-9) * area.width(),
            area.bottom() - (point.y() - low) / std::max(high - low, 1e-9) * area.height());
    };
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kAxisColour, 1));
    painter.drawRect(area);
    painter.fillRect(QRectF(at({0, m_target + kBand}), at({end, m_target - kBand})), kBandColour);
    painter.setPen(QPen(kTargetColour, 1, Qt::DashLine));
    painter.drawLine(at({0, m_target}), at({end, m_target}));

    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics = painter.fontMetrics();
    const auto leftLabel = [&](double y, double value) {
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, kLeftMargin - 4, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'f', 1));
    };
    leftLabel(area.top(), high);
    leftLabel(area.bottom(), low);
    const QRectF below(area.left(), area.bottom() + 2, area.width(), kBottomMargin - 2);
    painter.drawText(below, Qt::AlignLeft | Qt::AlignTop, tr("0 s"));
    painter.drawText(below, Qt::AlignRight | Qt::AlignTop, tr("%1 s").arg(end, 0, 'f', 0));
    painter.drawText(QRectF(area.left(), 0, area.width(), kTopMargin),
        Qt::AlignLeft | Qt::AlignVCenter,
        tr("℃：所选增益的预测（蓝），其他候选（灰），目标 ±0.5 ℃（红）"));

    painter.setClipRect(area);
    const auto draw = [&](const std::vector<QPointF> &curve, const QPen &pen) {
        QPainterPath path(at(curve.front()));
        for (const QPointF &point : curve)
            path.lineTo(at(point));
        painter.setPen(pen);
        painter.drawPath(path);
    };
    for (int candidate = 0; candidate < int(m_curves.size()); ++candidate) {
        if (candidate != m_chosen && !m_curves[std::size_t(candidate)].empty())
            draw(m_curves[std::size_t(candidate)], QPen(kOtherColour, 1));
    }
    // The chosen one last, over the others.
    if (m_chosen >= 0 && m_chosen < int(m_curves.size())
        && !m_curves[std::size_t(m_chosen)].empty())
        draw(m_curves[std::size_t(m_chosen)], QPen(kChosenColour, 2.5));
}
