#include "chart_view.h"
#include "sample_history.h"
#include "time_ticks.h"

#include <QTest>

#include <limits>

namespace {
/// The console's chart: Max 120.0 °C in tenths, 1,700 samples live, 2.0 °C the narrowest span.
ChartView consoleView()
{
    ChartView view;
    view.setLiveWindow(1200, 1700);
    view.setMinimumSpan(20);
    return view;
}

ChartView::Recorded recordedUpTo(qint64 end)
{
    return {std::max<qint64>(end - SampleHistory::kCapacity, 0), end};
}

/// Applies one action by its letter, as the buttons beside the chart would.
bool act(ChartView &view, QChar action, const ChartView::Recorded &recorded)
{
    switch (action.toLatin1()) {
    case 'R':
        return view.reset();
    case 'i':
        return view.zoomIn();
    case 'o':
        return view.zoomOut();
    case 'u':
        return view.moveUp();
    case 'd':
        return view.moveDown();
    case 's':
        return view.stretch();
    case 'c':
        return view.compress(recorded);
    case 'l':
        return view.moveLeft(recorded);
    case 'r':
        return view.moveRight(recorded);
    case 'f':
        return view.follow();
    }
    qFatal("unknown action");
}
} // namespace

/// The chart's view arithmetic: each action from a few states, at and short of its limits.
class tst_ChartView : public QObject
{
    Q_OBJECT

private slots:
    void actions_data();
    void actions();
    void rowsSpanTheWindow_data();
    void rowsSpanTheWindow();
    void historyDropsTheOldestAndKeepsEachColumnsExtremes();
    void historyGrowsWithItsSamples();
    void timeTicksTakeARoundStep_data();
    void timeTicksTakeARoundStep();
    void timeTicksMarkSamplesNotPauses();
};

void tst_ChartView::actions_data()
{
    QTest::addColumn<QString>("actions");
    QTest::addColumn<qint64>("end");
    QTest::addColumn<bool>("changed"); // by the last action
    QTest::addColumn<bool>("live");
    QTest::addColumn<qint64>("bottom");
    QTest::addColumn<qint64>("top");
    QTest::addColumn<qint32>("across");
    QTest::addColumn<bool>("following");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("firstAfter100More");

    // Actions: R reset, i/o zoom in/out, u/d up/down, s/c stretch/compress, l/r left/right,
    // f follow. The outermost window is -1800 to 3000.
    QTest::newRow("reset when live")
        << "R" << 10000LL << false << true << 0LL << 1200LL << 1700 << true << 8300LL << 8400LL;
    QTest::newRow("reset") << "ilR" << 10000LL << true << true << 0LL << 1200LL << 1700 << true
                           << 8300LL << 8400LL;
    QTest::newRow("zoom in") << "i" << 10000LL << true << false << 300LL << 900LL << 1700 << true
                             << 8300LL << 8400LL;
    // A span of 75 cannot sit evenly on 600: the half is rounded down, as below zero.
    QTest::newRow("zoom in four times")
        << "iiii" << 10000LL << true << false << 562LL << 637LL << 1700 << true << 8300LL << 8400LL;
    QTest::newRow("zoom in four times below zero") << "ddiiii" << 10000LL << true << false << -38LL
                                                   << 37LL << 1700 << true << 8300LL << 8400LL;
    // Each zoom is about the same middle, 600, however the spans before it were rounded.
    QTest::newRow("zoom in to the minimum span") << "iiiiii" << 10000LL << true << false << 590LL
                                                 << 610LL << 1700 << true << 8300LL << 8400LL;
    QTest::newRow("zoom in past the minimum span")
        << "iiiiiii" << 10000LL << false << false << 590LL << 610LL << 1700 << true << 8300LL
        << 8400LL;
    QTest::newRow("zoom in and out is live again")
        << "io" << 10000LL << true << true << 0LL << 1200LL << 1700 << true << 8300LL << 8400LL;
    QTest::newRow("zoom out") << "o" << 10000LL << true << false << -600LL << 1800LL << 1700 << true
                              << 8300LL << 8400LL;
    QTest::newRow("zoom out past 4 × Max") << "ooo" << 10000LL << false << false << -1800LL
                                           << 3000LL << 1700 << true << 8300LL << 8400LL;
    QTest::newRow("zoom out at the top edge is pushed in")
        << "uuuuuo" << 10000LL << true << false << 600LL << 3000LL << 1700 << true << 8300LL
        << 8400LL;
    QTest::newRow("up to the outermost top") << "uuuuuu" << 10000LL << true << false << 1800LL
                                             << 3000LL << 1700 << true << 8300LL << 8400LL;
    QTest::newRow("up past the outermost top") << "uuuuuuu" << 10000LL << false << false << 1800LL
                                               << 3000LL << 1700 << true << 8300LL << 8400LL;
    QTest::newRow("down a quarter of a narrow span")
        << "iiiiiid" << 10000LL << true << false << 585LL << 605LL << 1700 << true << 8300LL
        << 8400LL;
    QTest::newRow("down past the outermost bottom")
        << "ddddddd" << 10000LL << false << false << -1800LL << -600LL << 1700 << true << 8300LL
        << 8400LL;
    QTest::newRow("stretch") << "s" << 10000LL << true << false << 0LL << 1200LL << 850 << true
                             << 9150LL << 9250LL;
    QTest::newRow("stretch to 50")
        << "ssssss" << 10000LL << true << false << 0LL << 1200LL << 50 << true << 9950LL << 10050LL;
    QTest::newRow("stretch past 50") << "sssssss" << 10000LL << false << false << 0LL << 1200LL
                                     << 50 << true << 9950LL << 10050LL;
    QTest::newRow("compress") << "c" << 10000LL << true << false << 0LL << 1200LL << 3400 << true
                              << 6600LL << 6700LL;
    QTest::newRow("compress to the whole history")
        << "ccc" << 10000LL << true << false << 0LL << 1200LL << 10000 << true << 0LL << 100LL;
    QTest::newRow("compress past the whole history")
        << "cccc" << 10000LL << false << false << 0LL << 1200LL << 10000 << true << 0LL << 100LL;
    QTest::newRow("compress a history shorter than the live view")
        << "c" << 1000LL << false << true << 0LL << 1200LL << 1700 << true << 0LL << 0LL;
    QTest::newRow("compress to a full day") << "ccccccccc" << 1000000LL << true << false << 0LL
                                            << 1200LL << 864000 << true << 136000LL << 136100LL;
    QTest::newRow("left holds") << "l" << 10000LL << true << false << 0LL << 1200LL << 1700 << false
                                << 7450LL << 7450LL;
    QTest::newRow("left stops at the oldest")
        << "l" << 2000LL << true << false << 0LL << 1200LL << 1700 << false << 0LL << 0LL;
    QTest::newRow("left past the oldest")
        << "ll" << 2000LL << false << false << 0LL << 1200LL << 1700 << false << 0LL << 0LL;
    QTest::newRow("left with nothing older")
        << "l" << 1000LL << false << true << 0LL << 1200LL << 1700 << true << 0LL << 0LL;
    QTest::newRow("held at the oldest as the oldest is dropped")
        << "ccccccccll" << 864000LL << true << false << 0LL << 1200LL << 435200 << false << 0LL
        << 100LL;
    QTest::newRow("right when live")
        << "r" << 10000LL << false << true << 0LL << 1200LL << 1700 << true << 8300LL << 8400LL;
    QTest::newRow("right back to the newest follows")
        << "ilr" << 10000LL << true << false << 300LL << 900LL << 1700 << true << 8300LL << 8400LL;
    QTest::newRow("right short of the newest holds")
        << "llr" << 10000LL << true << false << 0LL << 1200LL << 1700 << false << 7450LL << 7450LL;
    QTest::newRow("compress while holding keeps the right edge")
        << "lc" << 10000LL << true << false << 0LL << 1200LL << 3400 << false << 5750LL << 5750LL;
    QTest::newRow("follow") << "ilf" << 10000LL << true << false << 300LL << 900LL << 1700 << true
                            << 8300LL << 8400LL;
}

void tst_ChartView::actions()
{
    QFETCH(QString, actions);
    QFETCH(qint64, end);
    QFETCH(bool, changed);
    QFETCH(bool, live);
    QFETCH(qint64, bottom);
    QFETCH(qint64, top);
    QFETCH(qint32, across);
    QFETCH(bool, following);
    QFETCH(qint64, first);
    QFETCH(qint64, firstAfter100More);

    ChartView view = consoleView();
    const ChartView::Recorded recorded = recordedUpTo(end);
    for (qsizetype n = 0; n + 1 < actions.size(); ++n)
        act(view, actions[n], recorded);
    QCOMPARE(act(view, actions.back(), recorded), changed);
    QCOMPARE(view.isLive(), live);
    QCOMPARE(view.bottom(), bottom);
    QCOMPARE(view.top(), top);
    QCOMPARE(view.across(), across);
    QCOMPARE(view.isFollowing(), following);
    QCOMPARE(view.firstShown(recorded), first);
    QCOMPARE(view.firstShown(recordedUpTo(end + 100)), firstAfter100More);
}

void tst_ChartView::rowsSpanTheWindow_data()
{
    QTest::addColumn<qint32>("value");
    QTest::addColumn<int>("row");
    // The window 300 to 900 over 61 rows: 10 value units a row.
    QTest::newRow("top") << 900 << 0;
    QTest::newRow("bottom") << 300 << 60;
    QTest::newRow("middle") << 600 << 30;
    QTest::newRow("rounded") << 896 << 0;
    QTest::newRow("above") << 1000 << -10;
    QTest::newRow("far below") << std::numeric_limits<qint32>::min() << 61 + (1 << 20);
    QTest::newRow("far above") << std::numeric_limits<qint32>::max() << -(1 << 20);
}

void tst_ChartView::rowsSpanTheWindow()
{
    QFETCH(qint32, value);
    QFETCH(int, row);
    ChartView view = consoleView();
    QVERIFY(view.zoomIn());
    QCOMPARE(view.rowOf(value, 61), row);
    if (qAbs(row) < 100)
        QCOMPARE(view.rowOf(view.valueAt(row, 61), 61), row);
}

void tst_ChartView::historyDropsTheOldestAndKeepsEachColumnsExtremes()
{
    SampleHistory history(10);
    for (qint32 n = 0; n < 25; ++n)
        history.append(n % 2 == 0 ? n : -n, 100 + n);
    QCOMPARE(history.first(), 15);
    QCOMPARE(history.end(), 25);
    QCOMPARE(history.at(15).value, -15);
    QCOMPARE(history.at(24).stamp, 124);

    // Samples 13 to 24 in three columns of four; 13 and 14 are dropped, 17 to 20 straddle the
    // ring's end.
    std::vector<SampleHistory::ColumnRange> ranges;
    history.columnRanges(13, 12, 3, ranges);
    QCOMPARE(ranges.size(), std::size_t(3));
    QCOMPARE(ranges[0].minimum, -15);
    QCOMPARE(ranges[0].maximum, 16);
    QCOMPARE(ranges[1].minimum, -19);
    QCOMPARE(ranges[1].maximum, 20);
    QCOMPARE(ranges[2].minimum, -23);
    QCOMPARE(ranges[2].maximum, 24);
    // More columns than samples: every other column is empty.
    history.columnRanges(20, 5, 10, ranges);
    QVERIFY(ranges[0].isEmpty());
    QCOMPARE(ranges[1].maximum, 20);
    QVERIFY(ranges[8].isEmpty());
    QCOMPARE(ranges[9].minimum, 24);
    QCOMPARE(history.nearestValue(15, 25, 17), 16);

    history.clear();
    QCOMPARE(history.count(), 0);
    history.columnRanges(0, 4, 2, ranges);
    QVERIFY(ranges[0].isEmpty() && ranges[1].isEmpty());
}

/// A day's history is not taken at start: memory grows with the samples, up to the capacity,
/// and every sample stays where it was put as it grows and wraps.
void tst_ChartView::historyGrowsWithItsSamples()
{
    SampleHistory history;
    QVERIFY(history.allocated() <= 4096);
    const qint64 end = SampleHistory::kCapacity + 10;
    for (qint64 n = 0; n < end; ++n) {
        history.append(qint32(n % 1000) - 500, n);
        if (n == 100000)
            QVERIFY(history.allocated() < 2 * 100000);
    }
    QCOMPARE(history.allocated(), SampleHistory::kCapacity);
    QCOMPARE(history.first(), 10);
    bool kept = true;
    for (qint64 n = history.first(); n < end; ++n)
        kept = kept && history.at(n).value == qint32(n % 1000) - 500 && history.at(n).stamp == n;
    QVERIFY(kept);
    // The first sample stamped at or after a time, for the time axis: stamps do not fall.
    QCOMPARE(history.firstStampedFrom(10, end, 500000), 500000);
    QCOMPARE(history.firstStampedFrom(10, end, 0), 10);
    QCOMPARE(history.firstStampedFrom(10, end, end), end);

    // Stamps are kept in 32 bits: beyond, the largest that fits.
    history.clear();
    history.append(7, qint64(1) << 40);
    QCOMPARE(history.at(0).stamp, qint64(std::numeric_limits<qint32>::max()));
    QCOMPARE(history.allocated(), SampleHistory::kCapacity);
}

void tst_ChartView::timeTicksTakeARoundStep_data()
{
    QTest::addColumn<qint64>("span"); // tenths of a second
    QTest::addColumn<qint32>("ticks");
    QTest::addColumn<qint64>("step");
    QTest::newRow("nothing to span") << 0LL << 1 << 10LL;
    QTest::newRow("170 s in 10 ticks") << 1699LL << 10 << 300LL;
    QTest::newRow("exactly 9 steps of 30 s") << 2700LL << 10 << 300LL;
    QTest::newRow("ten steps of 30 s are too many") << 3000LL << 10 << 600LL;
    QTest::newRow("69.9 s in 20 ticks") << 699LL << 20 << 50LL;
    QTest::newRow("a day in 11 ticks") << 864000LL << 11 << 108000LL;
    QTest::newRow("beyond the steps: whole days") << 5 * 864000LL << 3 << 3 * 864000LL;
}

void tst_ChartView::timeTicksTakeARoundStep()
{
    QFETCH(qint64, span);
    QFETCH(qint32, ticks);
    QFETCH(qint64, step);
    QCOMPARE(TimeTicks::step(span, ticks), step);
}

/// Ticks sit on the samples taken at their times; a pause's times have no sample to mark.
void tst_ChartView::timeTicksMarkSamplesNotPauses()
{
    SampleHistory history(1000);
    for (qint64 n = 0; n < 200; ++n)
        history.append(0, n < 100 ? n : 500 + n); // 0 to 9.9 s, paused, 60.0 to 69.9 s
    // 200 samples on 200 columns, ticks 10 columns apart at least: every 5 s.
    using Tick = TimeTicks::Tick;
    QCOMPARE(TimeTicks::place(history, 0, 200, 200, 10),
        (std::vector<Tick>{{0, 0}, {50, 50}, {100, 600}, {150, 650}}));
    // Stretched, 50 samples on 200 columns: sample q in column 4q + 3; ticks every second.
    QCOMPARE(TimeTicks::place(history, 80, 50, 200, 3),
        (std::vector<Tick>{{3, 80}, {43, 90}, {83, 600}, {123, 610}, {163, 620}}));
}

QTEST_APPLESS_MAIN(tst_ChartView)
#include "tst_chart_view.moc"
