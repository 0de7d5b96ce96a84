#include "console_style.h"

#include <QPainter>
#include <QStyleOption>

ConsoleStyle::ConsoleStyle()
    : QProxyStyle(QStringLiteral("Fusion"))
{
}

void ConsoleStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
    QPainter *painter, const QWidget *widget) const
{
    if (element == PE_PanelLineEdit && widget && widget->testAttribute(Qt::WA_OpaquePaintEvent))
        fillUnderOpaqueBox(option->rect, painter, *widget);
    if (element != PE_FrameGroupBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QRect outline = option->rect.adjusted(0, 0, -2, -2);
    painter->save();
    painter->setBrush(Qt::NoBrush);
    painter->setPen(option->palette.color(QPalette::Dark));
    painter->drawRect(outline);
    painter->setPen(option->palette.color(QPalette::Light));
    painter->drawRect(outline.translated(1, 1));
    painter->restore();
}

/// A box that paints itself whole leaves its rounded corners to its container's plain back
/// colour, which it paints there itself so that the container need not be repainted.
void ConsoleStyle::fillUnderOpaqueBox(const QRect &rect, QPainter *painter, const QWidget &box)
{
    const QWidget *container = box.parentWidget();
    if (container)
        painter->fillRect(rect, container->palette().color(container->backgroundRole()));
}
