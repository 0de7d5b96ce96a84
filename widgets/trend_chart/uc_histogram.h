#pragma once

#include <QWidget>

/// Trend chart: a fixed number of integer samples plotted as a polyline over a grid.
class ucHistogram : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qint32 Max READ Max WRITE setMax)

public:
    explicit ucHistogram(QWidget *parent = nullptr);

    /// Full-scale value, drawn at the top edge.
    qint32 Max() const { return m_max; }
    void setMax(qint32 max) { m_max = max; }

private:
    qint32 m_max = 100;
};
