#include "dialogs/runs_dialog.h"
#include "form/stored_design.h"
#include "process_memory.h"
#include "uc_histogram.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimeZone>

#include <benchmark/benchmark.h>

#include <functional>

namespace {
/// The longest time the GUI thread went without coming back to its event loop.
class StallWatch
{
public:
    StallWatch() { m_clock.start(); }
    void mark()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    /// Turns the event loop until done says so, marking each turn.
    void turnUntil(const std::function<bool()> &done)
    {
        mark();
        while (!done()) {
            QCoreApplication::processEvents();
            mark();
        }
    }
    double longestMs() const { return m_longest / 1e6; }
    double elapsedMs() const { return m_clock.nsecsElapsed() / 1e6; }

private:
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

const QByteArray kRunsHeading = "start,end,port,set_c,p,i,d,rise_s,overshoot_pct,peak_s,"
                                "settling_s,highest_c,lines,record\r\n";

/// A runs.csv of about this many bytes, as a bench rig connecting every few seconds writes it;
/// the number of runs.
qint64 writeRuns(const QString &path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(kRunsHeading);
    const QDateTime first(QDate(2026, 12, 1), QTime(0, 0), QTimeZone(8 * 3600));
    qint64 runs = 0;
    while (file.size() < bytes) {
        const QDateTime start = first.addSecs(runs * 8);
        const QString name = start.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + "_COM1.csv";
        file.write(QStringLiteral("%1,%2,COM1,60.0,10,5,2,,,,,%3,40,%4\r\n")
                       .arg(start.toString(Qt::ISODateWithMs),
                           start.addSecs(4).toString(Qt::ISODateWithMs))
                       .arg(25.0 + runs % 100 / 10.0, 0, 'f', 1)
                       .arg(name)
                       .toUtf8());
        ++runs;
    }
    return runs;
}

/// Opening the run history on a runs.csv of 1 MB or 10 MB: the longest the GUI thread is held
/// from its construction until every run shown has been read, the time until the newest runs
/// show and until all are read, sorting them by a figure, the time the dialog takes to close, and
/// the memory it takes.
/// Run it alone (--benchmark_filter) for the peak to be its own.
void BM_RunHistoryOpens(benchmark::State &state)
{
    QTemporaryDir directory;
    const QString runs = directory.filePath(QStringLiteral("runs.csv"));
    const qint64 written = writeRuns(runs, state.range(0) * 1024 * 1024);
    const double before = ProcessMemory::residentMegabytes();
    for (auto _ : state) {
        StallWatch watch;
        auto dialog = std::make_unique<RunsDialog>(runs);
        dialog->show();
        watch.turnUntil([&dialog] { return dialog->runs().rowCount() > 0; });
        state.counters["until_newest_shown_ms"] = watch.elapsedMs();
        watch.turnUntil([&dialog] { return !dialog->isReading(); });
        state.counters["longest_stall_ms"] = watch.longestMs();
        state.counters["until_read_ms"] = watch.elapsedMs();
        state.counters["rows_shown"] = dialog->runs().rowCount();
        state.counters["resident_over_start_mb"] = ProcessMemory::residentMegabytes() - before;
        // A click on a figure's heading: the runs listed sorted by it and the table drawn again.
        StallWatch sorting;
        dialog->findChild<QTableView *>()->sortByColumn(8, Qt::AscendingOrder);
        sorting.turnUntil([] { return true; });
        QCoreApplication::processEvents();
        sorting.mark();
        state.counters["sort_ms"] = sorting.longestMs();
        QElapsedTimer closing;
        closing.start();
        dialog.reset();
        state.counters["closing_ms"] = closing.elapsed();
    }
    state.counters["runs_in_file"] = double(written);
    state.counters["peak_over_start_mb"] = ProcessMemory::peakResidentMegabytes() - before;
}
BENCHMARK(BM_RunHistoryOpens)->Arg(1)->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond);

/// A record of about this many bytes holding one run's lines, ten a second.
void writeRecord(const QString &path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write("time,run_s,kind,set_c,current_c,output_pct,p,i,d,text\r\n");
    const QDateTime first(QDate(2026, 12, 8), QTime(9, 30), QTimeZone(8 * 3600));
    QByteArray chunk;
    for (qint64 row = 0; file.size() + chunk.size() < bytes; ++row) {
        const QDateTime at = first.addMSecs(row * 100);
        const int current = 250 + int(row % 3500) / 10;
        chunk += QStringLiteral("%1,%2,line,60.0,%3,50.20,10,5,2,\"st=0600 pv=%4 out= 128 pid= "
                                "010, 005, 002\"\r\n")
                     .arg(at.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz+08:00")))
                     .arg(row / 10.0, 0, 'f', 1)
                     .arg(current / 10.0, 0, 'f', 1)
                     .arg(current, 4, 10, QLatin1Char('0'))
                     .toUtf8();
        if (chunk.size() > 1 << 20)
            file.write(std::exchange(chunk, {}));
    }
    file.write(chunk);
}

/// A record whose heading is followed by one line of this many bytes, never ended.
void writeOneLine(const QString &path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write("time,run_s,kind,set_c,current_c,output_pct,p,i,d,text\r\n");
    const QByteArray chunk(1024 * 1024, 'x');
    for (qint64 written = 0; written < bytes; written += chunk.size())
        file.write(chunk);
}

/// "在曲线上对比" on a record of this many megabytes: a whole record of rows, or one line.
void compareRecord(benchmark::State &state, void (*write)(const QString &, qint64))
{
    QTemporaryDir directory;
    write(directory.filePath(QStringLiteral("big.csv")), state.range(0) * 1024 * 1024);
    const QString runs = directory.filePath(QStringLiteral("runs.csv"));
    QFile file(runs);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(kRunsHeading + "2026-12-08T09:30:00.000+08:00,,COM1,60.0,10,5,2,,,,,,,big.csv\r\n");
    file.close();
    ucHistogram chart;
    chart.ReadProperties(StoredDesign::ucHistogram1());
    chart.setHistoryEnabled(true);
    chart.resize(609, 333);
    chart.show();
    for (qint64 sample = 0; sample < 36000; ++sample)
        chart.NextPoint(qint32(250 + sample % 350), sample);
    const double before = ProcessMemory::residentMegabytes();
    for (auto _ : state) {
        RunsDialog dialog(runs);
        dialog.show();
        QObject::connect(&dialog, &RunsDialog::compareOnChart, &chart, &ucHistogram::setOverlays);
        StallWatch settled;
        settled.turnUntil([&dialog] { return !dialog.isReading(); });
        dialog.findChild<QTableView *>()->selectRow(0);
        auto *compare = dialog.findChild<QPushButton *>(QStringLiteral("compareOnChart"));
        StallWatch watch;
        compare->click();
        watch.turnUntil([&] { return !dialog.isReading(); });
        state.counters["longest_stall_ms"] = watch.longestMs();
        state.counters["until_drawn_ms"] = watch.elapsedMs();
        state.counters["points"] =
            chart.overlays().isEmpty() ? 0.0 : double(chart.overlays().front().samples.size());
        chart.clearOverlays();
    }
    state.counters["peak_over_start_mb"] = ProcessMemory::peakResidentMegabytes() - before;
}

/// "在曲线上对比" on a run whose record is 200 MB, drawn over the console's chart holding an
/// hour's run: the longest the GUI thread is held from the click until the curve is drawn, and
/// the memory it takes. Run it alone for the peak to be its own.
void BM_CompareLargeRecord(benchmark::State &state)
{
    compareRecord(state, writeRecord);
}
BENCHMARK(BM_CompareLargeRecord)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);

/// The same on a record of one line of 100 MB: the memory it takes.
void BM_CompareRecordOfOneLine(benchmark::State &state)
{
    compareRecord(state, writeOneLine);
}
BENCHMARK(BM_CompareRecordOfOneLine)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
