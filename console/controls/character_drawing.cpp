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
    // Characters arrive in bursts; one pending repaint covers them all.
    if (!m_repaintPending) {
        m_repaintPending = true;
        update(inkedRegion() - coveredFromAbove());
    }
}

/// Only where characters stand changes colour; the controls lying under and over the rest of
/// this large transparent label need no repaint.
QRegion CharacterDrawing::inkedRegion()
{
    if (m_inkedText != text() || m_inkedFont != font() || m_inkedRect != contentsRect()) {
        m_inkedText = text();
        m_inkedFont = font();
        m_inkedRect = contentsRect();
        m_inked = QRegion();
        const QFontMetrics metrics(font());
        const QStringList lines = text().split(u'\n');
        for (int row = 0; row < lines.size(); ++row) {
            const QString &line = lines[row];
            const int top = m_inkedRect.top() + row * metrics.lineSpacing();
            qsizetype start = 0;
            while (start < line.size()) {
                while (start < line.size() && line[start] == u' ')
                    ++start;
                qsizetype end = start;
                while (end < line.size() && line[end] != u' ')
                    ++end;
                if (end > start) {
                    const int left =
                        m_inkedRect.left() + metrics.horizontalAdvance(line.left(start));
                    const int width = metrics.horizontalAdvance(line.mid(start, end - start));
                    m_inked += QRect(left - 2, top - 2, width + 4, metrics.lineSpacing() + 4);
                }
                start = end;
            }
        }
    }
    return m_inked;
}

/// Controls stacked over the drawing, in its frame or further out, that paint all of their own
/// area hide the characters under them, so a new colour there need not repaint them.
QRegion CharacterDrawing::coveredFromAbove() const
{
    QRegion covered;
    const QWidget *level = this;
    while (!level->isWindow() && level->parentWidget()) {
        const QWidget *container = level->parentWidget();
        const QObjectList &siblings = container->children();
        for (qsizetype at = siblings.indexOf(level) + 1; at < siblings.size(); ++at) {
            const auto *sibling = qobject_cast<const QWidget *>(siblings[at]);
            if (sibling && sibling->isVisible() && !sibling->isWindow()
                && (sibling->autoFillBackground()
                    || sibling->testAttribute(Qt::WA_OpaquePaintEvent)))
                covered += QRect(mapFrom(container, sibling->pos()), sibling->size());
        }
        level = container;
    }
    return covered;
}

void CharacterDrawing::paintEvent(QPaintEvent *)
{
    m_repaintPending = false;
    QPainter painter(this);
    painter.setPen(m_foreColor);
    painter.setFont(font());
    painter.drawText(contentsRect(), int(alignment()), text());
}
