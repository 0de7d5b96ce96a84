#pragma once

#include <QPixmap>
#include <QWidget>

/// A plot drawn into a picture of its own size and shown from it: drawn again once for each
/// change, at the next paint, however many changes and resizes came since, so that a result
/// shown and its dialog grown to it cost one drawing.
class SurfacePlot : public QWidget
{
    Q_OBJECT

public:
    explicit SurfacePlot(QWidget *parent = nullptr);

protected:
    /// What the plot shows changed: it is drawn again when next painted.
    void redraw();
    /// Draws the plot onto a surface of the widget's size, already filled with the base colour.
    virtual void drawSurface(QPixmap &surface) = 0;

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QPixmap m_surface;
    bool m_surfaceStale = true;
};
