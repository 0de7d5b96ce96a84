#include "shape_control.h"

#include <QPainter>

ShapeControl::ShapeControl(QWidget *parent)
    : QWidget(parent)
{
}

void ShapeControl::setFillColor(const QColor &colour)
{
    // Lamps are set on every line; an unchanged lamp needs no repaint.
    if (colour == m_fillColor)
        return;
    m_fillColor = colour;
    update();
}

void ShapeControl::setFillStyle(FillStyles style)
{
    m_fillStyle = style;
    update();
}

void ShapeControl::setBackColor(const QColor &colour)
{
    m_backColor = colour;
    update();
}

void ShapeControl::setBackStyle(BackStyles style)
{
    m_backStyle = style;
    update();
}

void ShapeControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    if (m_fillStyle == Solid)
        painter.setBrush(m_fillColor);
    else if (m_backStyle == Opaque)
        painter.setBrush(m_backColor);
    const qreal diameter = qMin(width(), height()) - 1;
    painter.drawEllipse(
        QRectF((width() - diameter) / 2, (height() - diameter) / 2, diameter, diameter));
}
