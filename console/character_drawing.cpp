#include "character_drawing.h"

#include <QPainter>

CharacterDrawing::CharacterDrawing(QWidget *parent)
    : QLabel(parent)
{
}

void CharacterDrawing::setForeColor(const QColor &colour)
{
    if (colour == m_foreColor)
        return;
    m_foreColor = colour;
    update();
}

void CharacterDrawing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_foreColor);
    painter.setFont(font());
    painter.drawText(contentsRect(), int(alignment()), text());
}
