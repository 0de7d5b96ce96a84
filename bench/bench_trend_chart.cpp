#include "form/stored_design.h"
#include "process_memory.h"
#include "property_bag.h"
#include "uc_histogram.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {
/// A temperature in tenths swinging slowly around 60 degrees with a little sensor noise.
qint32 temperature(qint32 sample)
{
    return 600 + qint32(100 * std::sin(sample / 50.0)) + sample % 3;
}

/// One NextPoint (append and full redraw of the canvas) on a full buffer.
void nextPointOnFullBuffer(benchmark::State &state, qint32 points, QSize size)
{
    ucHistogram chart;
    chart.ReadProperties(PropertyBag{{"GridTickHorizontal", 50}, {"GridTickVertical", 100},
        {"NumberOfPoints", points}, {"Max", 1200}, {"ForeColor", 0x0000FFFF}});
    chart.resize(size);
    chart.show();
    for (qint32 n = 0; n < points; ++n)
        chart.NextPoint(temperature(n));
    qint32 sample = 0;
    for (auto _ : state) {
        chart.NextPoint(temperature(sample));
        ++sample;
    }
}

void BM_NextPointConsoleChart(benchmark::State &state)
{
    nextPointOnFullBuffer(state, 1700, QSize(609, 333));
}
BENCHMARK(BM_NextPointConsoleChart)->Unit(benchmark::kMicrosecond);

void BM_NextPointWideChart(benchmark::State &state)
{
    nextPointOnFullBuffer(state, 10000, QSize(1920, 333));
}
BENCHMARK(BM_NextPointWideChart)->Unit(benchmark::kMicrosecond);

/// The console's chart with its stored settings at its size, shown.
void showConsoleChart(ucHistogram &chart)
{
    chart.ReadProperties(StoredDesign::ucHistogram1());
    chart.resize(609, 333);
    chart.show();
}

void fill(ucHistogram &chart)
{
    for (qint32 n = 0; n < chart.NumberOfPoints(); ++n)
        chart.NextPoint(temperature(n));
}

/// The console's chart as the screen sees it: each sample is appended, then the face is painted
/// into a pixmap the size of the control.
void BM_NextPointAndPaintConsoleChart(benchmark::State &state)
{
    ucHistogram chart;
    showConsoleChart(chart);
    fill(chart);
    QPixmap screen(chart.size());
    qint32 sample = 0;
    for (auto _ : state) {
        chart.NextPoint(temperature(sample));
        chart.render(&screen);
        ++sample;
    }
}
BENCHMARK(BM_NextPointAndPaintConsoleChart)->Unit(benchmark::kMicrosecond);

/// The same chart shown as a window: each sample is appended, then the window's pending repaint
/// runs, painting what the chart marked for update into the backing store.
void BM_NextPointAndRepaintConsoleChart(benchmark::State &state)
{
    ucHistogram chart;
    showConsoleChart(chart);
    QCoreApplication::processEvents();
    if (!chart.windowHandle()->isExposed()) {
        state.SkipWithError("the chart's window was not exposed");
        return;
    }
    fill(chart);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    qint32 sample = 0;
    for (auto _ : state) {
        chart.NextPoint(temperature(sample));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        ++sample;
    }
}
BENCHMARK(BM_NextPointAndRepaintConsoleChart)->Unit(benchmark::kMicrosecond);

/// The console's chart properties, history and view captions, as the console words them, so that
/// a view change draws its caption too.
void setUpAsTheConsole(ucHistogram &chart)
{
    chart.ReadProperties(StoredDesign::ucHistogram1());
    chart.setHistoryEnabled(true);
    chart.setMinimumViewSpan(20);
    chart.setViewCaptions(QStringLiteral("缩放 %1–%2 s · 复 位 返回实时"),
        QStringLiteral("历史 %1–%2 s · 复 位 返回实时"));
}

/// The console's chart with a full day of samples recorded, the newest of them live. They are
/// recorded before the chart is shown, while there is no canvas to draw them on.
void showConsoleChartWithFullHistory(ucHistogram &chart)
{
    setUpAsTheConsole(chart);
    const qint64 recorded = SampleHistory::kCapacity - chart.NumberOfPoints();
    for (qint64 n = 0; n < recorded; ++n)
        chart.NextPoint(temperature(qint32(n)), n);
    showConsoleChart(chart);
    fill(chart);
}

/// Compresses until the view spans at least the given share of the history.
void compressTo(ucHistogram &chart, qint64 across)
{
    while (chart.view().across() < across) {
        const qint32 before = chart.view().across();
        chart.compress();
        if (chart.view().across() == before)
            return;
    }
}

/// Each iteration is one view change, the two actions taking turns so the view never settles.
void alternate(benchmark::State &state, ucHistogram &chart, void (ucHistogram::*first)(),
    void (ucHistogram::*second)())
{
    bool useFirst = true;
    for (auto _ : state) {
        (chart.*(useFirst ? first : second))();
        useFirst = !useFirst;
    }
}

/// A view over the whole day zoomed in and out in turn: each redraw takes every sample's
/// minimum and maximum per column.
void BM_ZoomViewOfWholeHistoryConsoleChart(benchmark::State &state)
{
    ucHistogram chart;
    showConsoleChartWithFullHistory(chart);
    compressTo(chart, SampleHistory::kCapacity);
    if (chart.view().across() != SampleHistory::kCapacity) {
        state.SkipWithError("the view does not span the history");
        return;
    }
    alternate(state, chart, &ucHistogram::zoomIn, &ucHistogram::zoomOut);
}
BENCHMARK(BM_ZoomViewOfWholeHistoryConsoleChart)->Unit(benchmark::kMicrosecond);

/// A view over half the day moved back and forward by a quarter of it in turn.
void BM_MoveViewOfHalfHistoryConsoleChart(benchmark::State &state)
{
    ucHistogram chart;
    showConsoleChartWithFullHistory(chart);
    compressTo(chart, SampleHistory::kCapacity / 2);
    chart.moveLeft();
    if (chart.view().isFollowing()) {
        state.SkipWithError("the view did not move back");
        return;
    }
    chart.moveRight();
    alternate(state, chart, &ucHistogram::moveLeft, &ucHistogram::moveRight);
}
BENCHMARK(BM_MoveViewOfHalfHistoryConsoleChart)->Unit(benchmark::kMicrosecond);

/// A new sample while a view over the whole day follows the newest: the view is redrawn.
void BM_NextPointFollowingWholeHistoryConsoleChart(benchmark::State &state)
{
    ucHistogram chart;
    showConsoleChartWithFullHistory(chart);
    compressTo(chart, SampleHistory::kCapacity);
    qint64 sample = 0;
    for (auto _ : state) {
        chart.NextPoint(temperature(qint32(sample)), sample);
        ++sample;
    }
}
BENCHMARK(BM_NextPointFollowingWholeHistoryConsoleChart)->Unit(benchmark::kMicrosecond);

/// Three earlier runs of an hour each, a line every half second as their records hold them,
/// heating a little faster or slower than the live run.
QList<ChartOverlay> threeHourLongRuns()
{
    QList<ChartOverlay> runs;
    for (int run = 0; run < 3; ++run) {
        ChartOverlay overlay;
        overlay.legend = QStringLiteral("12-08 09:3%1:05 · 设定 60.0 ℃ · P 1%1 I 5 D 2").arg(run);
        for (qint64 stamp = 0; stamp < 36000; stamp += 5)
            overlay.samples.push_back({temperature(qint32(stamp * (10 + run) / 10)), stamp});
        runs.append(overlay);
    }
    return runs;
}

/// The console's chart with an hour of the live run recorded, compressed to the whole hour.
void showConsoleChartWithAnHour(ucHistogram &chart)
{
    setUpAsTheConsole(chart);
    for (qint64 n = 0; n < 36000 - chart.NumberOfPoints(); ++n)
        chart.NextPoint(temperature(qint32(n)), n);
    showConsoleChart(chart);
    for (qint64 n = 36000 - chart.NumberOfPoints(); n < 36000; ++n)
        chart.NextPoint(temperature(qint32(n)), n);
    compressTo(chart, 36000);
}

/// A view change over an hour's run with three earlier hour-long runs over it, zoomed in and out
/// in turn; with range(0) = 0 the same without overlays. The view is painted each time, as a
/// shown window is, into a pixmap the size of the control.
void BM_ViewChangeOfAnHourWithOverlaysConsoleChart(benchmark::State &state)
{
    ucHistogram chart;
    showConsoleChartWithAnHour(chart);
    if (chart.view().across() != 36000) {
        state.SkipWithError("the view does not span the hour");
        return;
    }
    if (state.range(0) != 0)
        chart.setOverlays(threeHourLongRuns());
    QPixmap screen(chart.size());
    bool zoomIn = true;
    for (auto _ : state) {
        zoomIn ? chart.zoomIn() : chart.zoomOut();
        chart.render(&screen);
        zoomIn = !zoomIn;
    }
}
BENCHMARK(BM_ViewChangeOfAnHourWithOverlaysConsoleChart)
    ->Arg(0)
    ->Arg(3)
    ->Unit(benchmark::kMicrosecond);

/// The same over a full day's history compressed to the whole, the overlays over its first hour.
void BM_ViewChangeOfWholeHistoryWithOverlaysConsoleChart(benchmark::State &state)
{
    ucHistogram chart;
    showConsoleChartWithFullHistory(chart);
    compressTo(chart, SampleHistory::kCapacity);
    chart.setOverlays(threeHourLongRuns());
    QPixmap screen(chart.size());
    bool zoomIn = true;
    for (auto _ : state) {
        zoomIn ? chart.zoomIn() : chart.zoomOut();
        chart.render(&screen);
        zoomIn = !zoomIn;
    }
}
BENCHMARK(BM_ViewChangeOfWholeHistoryWithOverlaysConsoleChart)->Unit(benchmark::kMicrosecond);

/// A new sample of the live chart with three hour-long runs over it: the overlays are drawn
/// again for the scrolled chart and the face painted.
void BM_NextPointWithOverlaysConsoleChart(benchmark::State &state)
{
    ucHistogram chart;
    chart.setHistoryEnabled(true);
    showConsoleChart(chart);
    for (qint64 n = 0; n < 6000; ++n)
        chart.NextPoint(temperature(qint32(n)), n);
    chart.setOverlays(threeHourLongRuns());
    QPixmap screen(chart.size());
    qint64 sample = 6000;
    for (auto _ : state) {
        chart.NextPoint(temperature(qint32(sample)), sample);
        chart.render(&screen);
        ++sample;
    }
}
BENCHMARK(BM_NextPointWithOverlaysConsoleChart)->Unit(benchmark::kMicrosecond);

/// What the history costs: resident memory of a chart with the history turned on, and after a
/// full day of samples. Run it alone (--benchmark_filter=Memory) for the peak to be its own.
void BM_MemoryOfADaysHistory(benchmark::State &state)
{
    for (auto _ : state) {
        const double before = ProcessMemory::residentMegabytes();
        ucHistogram chart;
        chart.ReadProperties(StoredDesign::ucHistogram1());
        chart.setHistoryEnabled(true);
        const double turnedOn = ProcessMemory::residentMegabytes();
        for (qint64 n = 0; n < SampleHistory::kCapacity; ++n)
            chart.NextPoint(temperature(qint32(n)), n);
        state.counters["history_on_mb"] = turnedOn - before;
        state.counters["day_of_history_mb"] = ProcessMemory::residentMegabytes() - before;
        state.counters["peak_over_start_mb"] = ProcessMemory::peakResidentMegabytes() - before;
    }
}
BENCHMARK(BM_MemoryOfADaysHistory)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
