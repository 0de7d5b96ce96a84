#include "surface_plot.h"

#include <QPainter>

#include <utility>

SurfacePlot::SurfacePlot(QWidget *parent)
    : QWidget(parent)
{
}

void SurfacePlot::redraw()
{
    m_surfaceStale = true;
    update();
}

void SurfacePlot::paintEvent(QPaintEvent *)
{
    if (std::exchange(m_surfaceStale, false)) {
        const qreal ratio = devicePixelRatioF();
        m_surface = QPixmap(size() * ratio);
        m_surface.setDevicePixelRatio(ratio);
        m_surface.fill(palette().color(QPalette::Base));
        drawSurface(m_surface);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_surface);
}

void SurfacePlot::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_surfaceStale = true;
}
