#pragma once

#include <QPixmap>
#include <QPointF>
#include <QWidget>

#include <vector>

/// The candidates' predicted steps drawn together, the chosen one bold over the others, with the
/// target and its ±0.5 °C band: how the choices differ shows before anything is sent.
class AdvicePlot : public QWidget
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
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void render();

    std::vector<std::vector<QPointF>> m_curves;
    double m_from = 0.0;
    double m_target = 0.0;
    int m_chosen = -1;
    QPixmap m_surface;
    /// The curves or the size changed since the surface was drawn.
    bool m_surfaceStale = true;
};
