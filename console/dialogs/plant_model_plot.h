#pragma once

#include "dialogs/surface_plot.h"

#include <QPointF>

#include <vector>

/// The recorded temperature of the lines fitted with the model's curve over it, and below them
/// what the two differ by: where the model strays from the record shows at a glance.
class PlantModelPlot : public SurfacePlot
{
    Q_OBJECT

public:
    explicit PlantModelPlot(QWidget *parent = nullptr);

    /// Points are seconds from the first line and °C; the model has one for each recorded one.
    void setCurves(std::vector<QPointF> recorded, std::vector<QPointF> model);

    QSize sizeHint() const override;

protected:
    void drawSurface(QPixmap &surface) override;

private:
    std::vector<QPointF> m_recorded;
    std::vector<QPointF> m_model;
};
