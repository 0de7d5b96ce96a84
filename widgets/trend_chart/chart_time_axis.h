#pragma once

#include "time_ticks.h"

#include <QImage>
#include <QWidget>

#include <vector>

/// The run-time axis under a chart that is zoomed or held: a short mark and the time in seconds
/// at each tick. Its ground is left clear, so the window shows through around the marks; the
/// host places it under the chart's face, column 0 at its left edge.
class ChartTimeAxis : public QWidget
{
    Q_OBJECT

public:
    explicit ChartTimeAxis(QWidget *parent = nullptr);

    /// Redraws only when the ticks changed.
    void setTicks(const std::vector<TimeTicks::Tick> &ticks);
    const std::vector<TimeTicks::Tick> &ticks() const { return m_ticks; }
    /// The closest two ticks may be, in pixels, so that the widest time's labels stay apart.
    qint32 minimumGap() const;
    /// A tick's label: its run time in whole seconds.
    static QString label(const TimeTicks::Tick &tick);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void render();

    std::vector<TimeTicks::Tick> m_ticks;
    QImage m_picture;
};
