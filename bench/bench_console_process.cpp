#include "event_loop_run.h"
#include "frm_main.h"
#include "memory_comm.h"
#include "offline_console.h"
#include "serial_comm.h"
#include "settings_lookup.h"
#include "simulator_process.h"
#include "system_clock.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// Runs the event loop for this long as the iteration's time; returns the CPU seconds it took
/// and reports their share of the time.
double runMeasuringCpu(benchmark::State &state, int seconds)
{
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runEventLoopFor(seconds * 1000);
    const double cpu = cpuSeconds() - cpuBefore;
    state.SetIterationTime(wall.elapsed() / 1000.0);
    state.counters["cpu_share_percent"] = 100.0 * cpu / (wall.elapsed() / 1000.0);
    return cpu;
}

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

/// A shown console connected to the simulator behind a link in its own directory.
class SimulatedConsole
{
public:
    explicit SimulatedConsole(int periodMs, int setTenths = 600)
        : m_simulator(m_dir.filePath(QStringLiteral("ttyTERMIVA")), options(periodMs, setTenths))
    {
    }

    /// False when the simulator did not come up.
    bool start()
    {
        if (!m_simulator.start())
            return false;
        PortMap ports;
        ports.setDevice(1, m_simulator.link());
        m_window = std::make_unique<frmMain>(std::make_unique<SerialComm>(ports),
            std::make_shared<SystemClock>(), SettingsLookup::besideExecutable(m_dir.path()),
            m_dir.filePath(QStringLiteral("records")));
        m_window->show();
        m_window->findChild<QAbstractButton *>(QStringLiteral("cmdConnect"))->click();
        return m_window->ComPort().PortOpen();
    }

    SimulatorProcess &simulator() { return m_simulator; }
    frmMain &window() const { return *m_window; }
    void stopRepainting() { m_window->setUpdatesEnabled(false); }
    qint64 lines() const { return m_window->state().FrameCount; }

private:
    static SimulatorProcess::Options options(int periodMs, int setTenths)
    {
        SimulatorProcess::Options options;
        options.periodMs = periodMs;
        options.setTenths = setTenths;
        return options;
    }

    const QTemporaryDir m_dir;
    SimulatorProcess m_simulator;
    std::unique_ptr<frmMain> m_window;
};

/// The whole console, shown (offscreen or on a display) and connected to the simulator, over a
/// minute of telemetry: the CPU time it uses. The first argument picks the load: 0 the
/// controller's own pace (a line every 500 ms), 1 the link's full rate (960 characters a second).
/// The third, when 0, stops all repainting once connected: what the console's own work costs,
/// every control still taking every value, with no pixel painted.
void BM_ConsoleCpuOverAMinute(benchmark::State &state)
{
    SimulatedConsole console(500);
    if (!console.start()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    if (state.range(0) == 1)
        console.simulator().command(QStringLiteral("flood 1000000 960"));
    const int seconds = int(state.range(1));
    if (state.range(2) == 0)
        console.stopRepainting();
    for (auto _ : state) {
        state.counters["cpu_seconds"] = runMeasuringCpu(state, seconds);
        state.counters["lines"] = double(console.lines());
    }
}
BENCHMARK(BM_ConsoleCpuOverAMinute)
    ->Args({0, 60, 1})
    ->Args({1, 60, 1})
    ->Args({0, 60, 0})
    ->Args({1, 60, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

/// The least a shown Qt window of the console's size costs, as a floor under the figures above:
/// with the argument 0 a timer ticking ten times a second and doing nothing; with 1 the tick also
/// gives a label a new text, as the run time does.
void BM_BareWindowCpu(benchmark::State &state)
{
    QWidget window;
    window.resize(1217, 715);
    QLabel label(&window);
    label.setGeometry(16, 344, 81, 25);
    QTimer tick;
    int tenths = 0;
    const bool newText = state.range(0) == 1;
    QObject::connect(&tick, &QTimer::timeout, &label, [&] {
        ++tenths;
        if (newText)
            label.setText(QString::number(tenths / 10.0, 'f', 1));
    });
    tick.start(100);
    window.show();
    for (auto _ : state) {
        runMeasuringCpu(state, int(state.range(1)));
    }
}
BENCHMARK(BM_BareWindowCpu)
    ->Args({0, 30})
    ->Args({1, 30})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

/// The console after the controller's cable is pulled: the CPU share of the following seconds,
/// which stays near nothing unless the lost line causes an error storm.
void BM_ConsoleCpuAfterPulledCable(benchmark::State &state)
{
    SimulatedConsole console(50);
    if (!console.start() || !runEventLoopUntil([&] { return console.lines() >= 5; }, 20000)) {
        state.SkipWithError("the console did not connect to the simulator");
        return;
    }
    console.simulator().command(QStringLiteral("drop"));
    if (!runEventLoopUntil([&] { return !console.window().ComPort().PortOpen(); }, 10000)) {
        state.SkipWithError("the console did not notice the pulled cable");
        return;
    }
    const int seconds = int(state.range(0));
    for (auto _ : state) {
        runMeasuringCpu(state, seconds);
    }
}
BENCHMARK(BM_ConsoleCpuAfterPulledCable)
    ->Arg(2)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

/// Telemetry lines back to back, as fast as the pseudo-terminal takes them: the characters a
/// second the console handles.
void BM_FloodThroughput(benchmark::State &state)
{
    SimulatedConsole console(600000);
    if (!console.start()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    const qint64 floodLines = state.range(0);
    constexpr double kCharactersPerLine = 45.0;
    for (auto _ : state) {
        const qint64 target = console.lines() + floodLines;
        QElapsedTimer wall;
        wall.start();
        console.simulator().command(QStringLiteral("flood %1").arg(floodLines));
        if (!runEventLoopUntil([&] { return console.lines() >= target; }, 120000)) {
            state.SkipWithError("the flood did not arrive in time");
            return;
        }
        const double seconds = wall.elapsed() / 1000.0;
        state.SetIterationTime(seconds);
        state.counters["characters_per_second"] = floodLines * kCharactersPerLine / seconds;
    }
}
BENCHMARK(BM_FloodThroughput)->Arg(60000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

/// A step test on the simulator, held at 25 °C, from "开始" in the dialog to 60 °C: the time to
/// the first figure shown (the first line with the step's set point stamps the settling time)
/// and to the rise time, in real time at the simulator's own pace.
void BM_StepTestToFirstFigure(benchmark::State &state)
{
    SimulatedConsole console(500, 250);
    if (!console.start()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    frmMain &window = console.window();
    const auto box = [&window](int index) {
        return window.findChild<QLineEdit *>(QStringLiteral("perfor_index_%1").arg(index))->text();
    };
    const auto anyFigure = [&box] {
        for (int index = 0; index < 4; ++index) {
            if (box(index) != QLatin1String("0"))
                return true;
        }
        return false;
    };
    for (auto _ : state) {
        if (!runEventLoopUntil([&] { return console.lines() >= 5; }, 10000)) {
            state.SkipWithError("no lines");
            return;
        }
        window.findChild<QAbstractButton *>(QStringLiteral("stepTest"))->click();
        window.findChild<QLineEdit *>(QStringLiteral("target"))->setText(QStringLiteral("60"));
        QElapsedTimer sinceStart;
        sinceStart.start();
        window.findChild<QAbstractButton *>(QStringLiteral("start"))->click();
        if (!runEventLoopUntil(anyFigure, 10000)) {
            state.SkipWithError("no figure");
            return;
        }
        state.counters["first_figure_ms"] = double(sinceStart.elapsed());
        if (!runEventLoopUntil([&box] { return box(0) != QLatin1String("0"); }, 150000)) {
            state.SkipWithError("no rise time");
            return;
        }
        state.counters["rise_time_shown_s"] = sinceStart.elapsed() / 1000.0;
        state.SetIterationTime(sinceStart.elapsed() / 1000.0);
        state.SetLabel(box(0).toStdString());
    }
}
BENCHMARK(BM_StepTestToFirstFigure)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

/// A million telemetry lines through a shown window's receive path: the peak memory after.
void BM_PeakMemoryAfterAMillionLines(benchmark::State &state)
{
    OfflineConsole console(OfflineConsole::Visibility::Shown);
    console.connectPort();
    MemoryComm &port = console.port();
    const double peakBefore = peakResidentMegabytes();
    QByteArray batch;
    for (int n = 0; n < 1000; ++n) {
        batch += QStringLiteral("st=0600 pv=%1 out= %2 pid= 010, 005, 002\r\n")
                     .arg(250 + n % 400, 4, 10, QLatin1Char('0'))
                     .arg(n % 256, 3, 10, QLatin1Char('0'))
                     .toLatin1();
    }
    for (auto _ : state) {
        for (int round = 0; round < 1000; ++round) {
            port.feed(batch);
            port.deliverFed();
        }
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = double(console.window().state().FrameCount);
    state.counters["peak_rss_mb_before"] = peakBefore;
    state.counters["peak_rss_mb_after"] = peakResidentMegabytes();
}
BENCHMARK(BM_PeakMemoryAfterAMillionLines)->Iterations(1)->Unit(benchmark::kSecond);
} // namespace
