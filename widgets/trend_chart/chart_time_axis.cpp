#include "chart_time_axis.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {
constexpr int kMarkLength = 4;
} // namespace

ChartTimeAxis::ChartTimeAxis(QWidget *parent)
    : QWidget(parent)
{
}

void ChartTimeAxis::setTicks(const std::vector<TimeTicks::Tick> &ticks)
{
    if (ticks == m_ticks)
        return;
    m_ticks = ticks;
    render();
}

qint32 ChartTimeAxis::minimumGap() const
{
    // A day's run time is the longest label a day's history gives.
    const QFontMetrics metrics(font());
    return metrics.horizontalAdvance(QStringLiteral("86400 s")) + 2 * metrics.averageCharWidth();
}

QString ChartTimeAxis::label(const TimeTicks::Tick &tick)
{
    return QStringLiteral("%1 s").arg(tick.stamp / 10);
}

void ChartTimeAxis::render()
{
    const qreal ratio = devicePixelRatioF();
    m_picture = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    m_picture.setDevicePixelRatio(ratio);
    m_picture.fill(Qt::transparent);
    QPainter painter(&m_picture);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(font());
    for (const TimeTicks::Tick &tick : m_ticks) {
        painter.drawLine(tick.column, 0, tick.column, kMarkLength - 1);
        const QString text = label(tick);
        const int textWidth = metrics.horizontalAdvance(text);
        // Centred under its mark, but kept whole at the ends.
        const int left =
            std::clamp(tick.column - textWidth / 2, 0, std::max(width() - textWidth, 0));
        painter.drawText(QRect(left, kMarkLength, textWidth, height() - kMarkLength),
            Qt::AlignLeft | Qt::AlignTop, text);
    }
    update();
}

void ChartTimeAxis::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

void ChartTimeAxis::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    render();
}

void ChartTimeAxis::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        render();
}
