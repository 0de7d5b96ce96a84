#include "controller_simulator.h"
#include "dialogs/plant_model_dialog.h"
#include "dialogs/tuning_advice_dialog.h"
#include "process_memory.h"
#include "records/recorded_plant.h"
#include "records/run_samples.h"
#include "simulated_run.h"
#include "tuning/plant_fit.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeZone>

#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>
#include <optional>
#include <random>

namespace {
const QDateTime kDayStart(QDate(2026, 12, 8), QTime(0, 0), QTimeZone(8 * 3600));
constexpr int kHours = 24;
// The run of the record that lasts two hours, the longest.
constexpr int kLongRunHour = 12;

/// When the record's run time is cleared and the set point stepped, from the seconds since the
/// record began: the run of a long record is one step held for days.
using Steps = std::function<std::optional<int>(double now)>;

/// The simulator's lines, two a second for the hours given, as the console records them, the
/// run time cleared and the set point stepped where steps says. Returns the rows written.
qint64 writeRecord(const QString &path, double hours, const Steps &steps)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write("time,run_s,kind,set_c,current_c,output_pct,p,i,d,text\r\n");
    ControllerSimulator::Options options;
    options.setTenths = 400;
    ControllerSimulator controller(options, [](const std::string &) {});
    QByteArray chunk;
    qint64 rows = 0;
    double runStart = 0.0;
    for (double now = 0.5; now <= hours * 3600.0; now += 0.5, ++rows) {
        if (const std::optional<int> setTenths = steps(now)) {
            controller.setSetPoint(*setTenths);
            runStart = now;
        }
        controller.advance(now);
        controller.outbox().clear();
        const TelemetrySample line = controller.currentSample();
        chunk += kDayStart.addMSecs(qint64(now * 1000))
                     .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz+08:00"))
                     .toUtf8()
            + ',' + QByteArray::number(now - runStart, 'f', 1) + ",line,"
            + QByteArray::number(line.setTenths / 10.0, 'f', 1) + ','
            + QByteArray::number(line.currentTenths / 10.0, 'f', 1) + ','
            + QByteArray::number(line.output / 2.55, 'f', 2) + ",10,5,2,st=0600\r\n";
        if (chunk.size() > 1 << 20)
            file.write(std::exchange(chunk, {}));
    }
    file.write(chunk);
    return rows;
}

/// A day of lines: the set point stepped between 40 and 60 °C every hour, except once, so that
/// one run lasts two hours.
qint64 writeDayRecord(const QString &path)
{
    return writeRecord(path, kHours, [](double now) -> std::optional<int> {
        const int hour = int(now / 3600);
        if (std::fmod(now, 3600.0) != 0.0 || hour == kLongRunHour + 1)
            return std::nullopt;
        return hour % 2 == 0 ? 400 : 600;
    });
}

/// Fitting a run of this many minutes, two lines a second, of a heat-up of the default plant
/// from the ambient, the lines' times as the simulator sends them or stamped up to this many
/// milliseconds late, as a busy console stamps them.
void BM_FitRun(benchmark::State &state)
{
    SimulatedRun::Experiment experiment;
    experiment.startTenths = 0;
    experiment.stepSeconds = double(state.range(0)) * 60 - experiment.leadSeconds;
    PlantStretch run = SimulatedRun::record(experiment);
    std::mt19937 random(1);
    std::uniform_int_distribution<qint64> lateness(0, state.range(1));
    for (PlantSample &line : run)
        line.milliseconds += lateness(random);
    for (auto _ : state) {
        const PlantFit::Outcome outcome = PlantFit::fit({run});
        benchmark::DoNotOptimize(outcome.model);
    }
    state.counters["lines"] = double(run.size());
}
BENCHMARK(BM_FitRun)->Args({10, 0})->Args({10, 30})->Args({60, 0})->Args({60, 30})->Unit(
    benchmark::kMillisecond);

/// termiva-tune on a day's record: read once, holding only the longest run so far, then that run
/// fitted; the memory it took over the start. Run it alone for the peak to be its own.
void BM_FitFromDayRecord(benchmark::State &state)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("day.csv"));
    const qint64 rows = writeDayRecord(path);
    const double before = ProcessMemory::residentMegabytes();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const RunSamples samples = RunSamples::ofRecord(path, std::nullopt);
        state.counters["read_ms"] = double(clock.nsecsElapsed()) / 1e6;
        const PlantFit::Outcome outcome = PlantFit::fit(samples.stretches());
        state.counters["read_and_fit_ms"] = double(clock.nsecsElapsed()) / 1e6;
        state.counters["lines_fitted"] = outcome.model ? outcome.model->lines : 0;
    }
    state.counters["rows"] = double(rows);
    state.counters["record_mb"] = double(QFile(path).size()) / (1024 * 1024);
    state.counters["peak_over_start_mb"] = ProcessMemory::peakResidentMegabytes() - before;
}
BENCHMARK(BM_FitFromDayRecord)->Iterations(1)->Unit(benchmark::kMillisecond);

/// "过程模型" for the last run of a day's record: the longest the GUI thread is held from the
/// dialog's opening until the model is shown and painted.
void BM_PlantModelDialog(benchmark::State &state)
{
    constexpr int kRoundsAfterTheFit = 5;
    QTemporaryDir directory;
    writeDayRecord(directory.filePath(QStringLiteral("day.csv")));
    const QStringList heading{
        QStringLiteral("start"), QStringLiteral("end"), QStringLiteral("record")};
    const QStringList run{kDayStart.addSecs((kHours - 1) * 3600).toString(Qt::ISODateWithMs),
        QString(), QStringLiteral("day.csv")};
    // The window is up before the dialog opens, its fonts loaded.
    {
        QDialog window;
        QLabel shown(QStringLiteral("运行开始于 ℃ ± τ θ"), &window);
        window.show();
        QCoreApplication::processEvents();
    }
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        qint64 longest = 0;
        qint64 last = 0;
        PlantModelDialog dialog(directory.path(), heading, run, ControllerLaw());
        dialog.show();
        // Until the model is shown and then painted, which the events after the fit's end do.
        for (int afterFit = 0; afterFit < kRoundsAfterTheFit;
             afterFit += dialog.isFitting() ? 0 : 1) {
            QCoreApplication::processEvents();
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        }
        state.counters["longest_stall_ms"] = double(longest) / 1e6;
        state.counters["until_shown_ms"] = double(clock.nsecsElapsed()) / 1e6;
        state.counters["fitted"] = dialog.plant() && dialog.plant()->model ? 1 : 0;
    }
}
BENCHMARK(BM_PlantModelDialog)->Iterations(1)->Unit(benchmark::kMillisecond);
/// An 11.5-day run: 10 minutes at rest at 40 °C, then a step test to 60 °C held to the end.
constexpr double kLongRunHours = 11.5 * 24;
constexpr double kLongRunStep = 600.0;

/// "整定建议…" on that run, as the run history opens it: the most the process held over what it
/// held before the dialog opened, and what it still holds once the dialog is closed. Run it
/// alone for the peak to be its own.
void BM_AdviceOnLongRun(benchmark::State &state)
{
    QTemporaryDir directory;
    const qint64 rows = writeRecord(directory.filePath(QStringLiteral("long.csv")), kLongRunHours,
        [](double now) { return now == kLongRunStep ? std::optional<int>(600) : std::nullopt; });
    const QStringList heading{QStringLiteral("start"), QStringLiteral("end"),
        QStringLiteral("record"), QStringLiteral("set_c")};
    const QStringList run{
        kDayStart.addMSecs(qint64(kLongRunStep * 1000)).toString(Qt::ISODateWithMs),
        kDayStart.addMSecs(qint64(kLongRunHours * 3600 * 1000)).toString(Qt::ISODateWithMs),
        QStringLiteral("long.csv"), QStringLiteral("60.0")};
    AdviceStart start = AdviceStart::between(50, 60);
    start.current = GainSet{10, 5, 2};
    const double before = ProcessMemory::residentMegabytes();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        {
            TuningAdviceDialog dialog(directory.path(), heading, run, ControllerLaw(), start);
            dialog.show();
            const auto finish = [&dialog] {
                while (dialog.isWorking())
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            };
            finish();
            // The generated record's law check may dispute the scales: confirmed, as an operator
            // does, so that the search runs too.
            if (dialog.advice() && !dialog.advice()->recommended()) {
                if (auto *confirm = dialog.findChild<QPushButton *>(QStringLiteral("confirmLaw")))
                    confirm->click();
                finish();
            }
            state.counters["until_advised_ms"] = double(clock.nsecsElapsed()) / 1e6;
            state.counters["lines_fitted"] =
                dialog.plant() && dialog.plant()->model ? dialog.plant()->model->lines : 0;
            state.counters["recommended"] =
                dialog.advice() && dialog.advice()->recommended() ? 1 : 0;
        }
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = double(rows);
    state.counters["peak_over_start_mb"] = ProcessMemory::peakResidentMegabytes() - before;
    state.counters["kept_after_close_mb"] = ProcessMemory::residentMegabytes() - before;
}
BENCHMARK(BM_AdviceOnLongRun)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
