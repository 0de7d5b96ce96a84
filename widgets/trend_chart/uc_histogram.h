#pragma once

#include <QWidget>

/// Trend chart: a fixed number of integer samples plotted as a polyline over a grid.
class ucHistogram : public QWidget
{
    Q_OBJECT

public:
    explicit ucHistogram(QWidget *parent = nullptr);
};
