#pragma once

#include <QPixmap>
#include <QPointF>
#include <QWidget>

#include <vector>

/// The recorded temperature of the lines fitted with the model's curve over it, and below them
/// what the two differ by: where the model strays from the record shows at a glance.
class PlantModelPlot : public QWidget
{
    Q_OBJECT

public:
    explicit PlantModelPlot(QWidget *parent = nullptr);

    /// Points are seconds from the first line and °C; the model has one for each recorded one.
    void setCurves(std::vector<QPointF> recorded, std::vector<QPointF> model);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void render();

    std::vector<QPointF> m_recorded;
    std::vector<QPointF> m_model;
    QPixmap m_surface;
    /// The curves or the size changed since the surface was drawn.
    bool m_surfaceStale = true;
};
