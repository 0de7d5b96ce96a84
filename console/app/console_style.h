#pragma once

#include <QProxyStyle>

/// Fusion, with frames drawn as the design's etched outline over the frame's own colour rather
/// than Fusion's shaded panel, so every frame shows its exact back colour.
class ConsoleStyle : public QProxyStyle
{
    Q_OBJECT

public:
    ConsoleStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;

private:
    static void fillUnderOpaqueBox(const QRect &rect, QPainter *painter, const QWidget &box);
};
