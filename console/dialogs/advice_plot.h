#pragma once

#include "dialogs/surface_plot.h"

#include <QPointF>

#include <vector>

/// The candidates' predicted steps drawn together, the chosen one bold over the others, with the
/// target and its ±0.5 °C band: how the choices differ shows before anything is sent.
class AdvicePlot : public SurfacePlot
{
    Q_OBJECT

public:
    explicit AdvicePlot(QWidget *parent = nullptr);

    /// Points are seconds from the step and °C, one curve for each candidate.
    void setCurves(std::vector<std::vector<QPointF>> curves, double from, double target);
    /// The candidate drawn bold; none for none.
    void setChosen(int candidate);

    QSize sizeHint() const override;

protected:
    void drawSurface(QPixmap &surface) override;

private:
    std::vector<std::vector<QPointF>> m_curves;
    double m_from = 0.0;
    double m_target = 0.0;
    int m_chosen = -1;
};
