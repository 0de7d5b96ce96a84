#include "connection/port_reconnector.h"
#include "device_return_watcher.h"
#include "event_loop_run.h"
#include "frm_main.h"
#include "memory_comm.h"
#include "offline_console.h"
#include "process_memory.h"
#include "serial_comm.h"
#include "session/console_session.h"
#include "settings_lookup.h"
#include "simulator_process.h"
#include "system_clock.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
/// The median and the longest of a handful of times, as the counters NAMEmedian_ms and NAMEmax_ms.
void reportTimes(benchmark::State &state, const std::string &name, std::vector<double> milliseconds)
{
    std::sort(milliseconds.begin(), milliseconds.end());
    state.counters[name + "median_ms"] = milliseconds[milliseconds.size() / 2];
    state.counters[name + "max_ms"] = milliseconds.back();
}

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

/// A shown console connected to the simulator behind a link in its own directory.
class SimulatedConsole
{
public:
    /// The settings file, when given, lies beside the console's records.
    explicit SimulatedConsole(int periodMs, const QByteArray &settings = {}, int setTenths = 600)
        : m_simulator(m_dir.filePath(QStringLiteral("ttyTERMIVA")), options(periodMs, setTenths))
        , m_settings(settings)
    {
    }

    /// False when the simulator did not come up.
    bool start()
    {
        if (!m_simulator.start())
            return false;
        if (!m_settings.isEmpty()) {
            QFile file(SettingsLookup::besideExecutable(m_dir.path()));
            if (!file.open(QIODevice::WriteOnly) || file.write(m_settings) != m_settings.size())
                return false;
        }
        PortMap ports;
        ports.setDevice(1, m_simulator.link());
        m_window = std::make_unique<frmMain>(std::make_unique<SerialComm>(ports),
            std::make_shared<SystemClock>(), SettingsLookup::besideExecutable(m_dir.path()),
            m_dir.filePath(QStringLiteral("records")));
        m_window->show();
        m_window->findChild<QAbstractButton *>(QStringLiteral("cmdConnect"))->click();
        return m_window->session().port().PortOpen();
    }

    SimulatorProcess &simulator() { return m_simulator; }
    frmMain &window() const { return *m_window; }
    void stopRepainting() { m_window->setUpdatesEnabled(false); }
    qint64 lines() const { return m_window->session().controller().FrameCount; }
    /// "断开" is offered while connected or waiting for the lost device.
    bool disconnectOffered() const
    {
        return m_window->findChild<QAbstractButton *>(QStringLiteral("cmdDisconnect"))->isEnabled();
    }

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
    const QByteArray m_settings;
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

/// The console after the controller's cable is pulled: the CPU share of the following seconds
/// (the first argument), which stays near nothing unless the lost line causes an error storm.
/// With the second argument 1 the window waits for the device to come back, as it does unless
/// told otherwise; with 0 ([PORTS] RECONNECT=0) it does not, the floor the wait adds to.
void BM_ConsoleCpuAfterPulledCable(benchmark::State &state)
{
    const bool reconnecting = state.range(1) == 1;
    SimulatedConsole console(50, reconnecting ? QByteArray() : "[PORTS]\r\nRECONNECT=0\r\n");
    if (!console.start() || !runEventLoopUntil([&] { return console.lines() >= 5; }, 20000)) {
        state.SkipWithError("the console did not connect to the simulator");
        return;
    }
    console.simulator().command(QStringLiteral("drop"));
    if (!runEventLoopUntil([&] { return !console.window().session().port().PortOpen(); }, 10000)) {
        state.SkipWithError("the console did not notice the pulled cable");
        return;
    }
    const int seconds = int(state.range(0));
    for (auto _ : state) {
        runMeasuringCpu(state, seconds);
    }
    state.counters["waiting"] = console.disconnectOffered() ? 1 : 0;
}
BENCHMARK(BM_ConsoleCpuAfterPulledCable)
    ->Args({2, 1})
    ->Args({60, 1})
    ->Args({60, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

/// Seconds of the system clock at which the file at the path (a link: not followed) was made
/// or last changed.
double changedAt(const QString &path)
{
    struct stat status
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return status.st_mtim.tv_sec + status.st_mtim.tv_nsec / 1e9;
}

double systemSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

/// The whole shown console on the simulator (a line every 50 ms), its cable pulled and plugged
/// in again ten times at any moment of the wait: from the device's return (the moment its link
/// was made) to the port open again, and to the first line after the gap handled by the window.
/// Both ends are taken as they happen, from the reconnector's report and the receive event.
void BM_ConsoleReturnToFirstLine(benchmark::State &state)
{
    SimulatedConsole console(50);
    if (!console.start() || !runEventLoopUntil([&] { return console.lines() >= 3; }, 20000)) {
        state.SkipWithError("the console did not connect to the simulator");
        return;
    }
    double openedAt = -1;
    double lineAt = -1;
    qint64 linesBefore = 0;
    QObject::connect(&console.window().session(), &ConsoleSession::linkReconnected,
        [&] { openedAt = systemSeconds(); });
    // Connected after the window's own handler, so that the line has been handled.
    QObject::connect(&console.window().session().port(), &MSComm::OnComm, [&] {
        if (openedAt >= 0 && lineAt < 0 && console.lines() > linesBefore)
            lineAt = systemSeconds();
    });
    const QString link = console.simulator().link();
    constexpr int kReturns = 10;
    for (auto _ : state) {
        std::vector<double> reopen;
        std::vector<double> firstLine;
        for (int round = 0; round < kReturns; ++round) {
            console.simulator().command(QStringLiteral("drop"));
            if (!runEventLoopUntil(
                    [&] { return console.window().session().link().isWaiting(); }, 10000)) {
                state.SkipWithError("the console did not wait for the device");
                return;
            }
            runEventLoopFor(300 + 137 * round % 700);
            openedAt = -1;
            lineAt = -1;
            linesBefore = console.lines();
            console.simulator().command(QStringLiteral("restore"));
            if (!runEventLoopUntil([&] { return lineAt >= 0; }, 10000)) {
                state.SkipWithError("no line after the reconnect");
                return;
            }
            const double returnedAt = changedAt(link);
            reopen.push_back((openedAt - returnedAt) * 1000);
            firstLine.push_back((lineAt - returnedAt) * 1000);
        }
        state.SetIterationTime(0);
        reportTimes(state, "reopen_", reopen);
        reportTimes(state, "first_line_", firstLine);
    }
}
BENCHMARK(BM_ConsoleReturnToFirstLine)->Iterations(1)->UseManualTime();

/// Waiting for the simulator's pulled cable to be plugged in again, for a minute: the CPU share
/// of the process with the device-return watcher waiting (argument 1) and with nothing at all
/// (0), the floor of an idle event loop.
void BM_DeviceReturnWatcherCpuWhileWaiting(benchmark::State &state)
{
    const QTemporaryDir dir;
    SimulatorProcess simulator(dir.filePath(QStringLiteral("ttyTERMIVA")), {});
    if (!simulator.start()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    simulator.command(QStringLiteral("drop"));
    if (!runEventLoopUntil([&] { return !QFileInfo(simulator.link()).isSymLink(); }, 10000)) {
        state.SkipWithError("the simulator's device did not go");
        return;
    }
    DeviceReturnWatcher watcher;
    if (state.range(0) == 1)
        watcher.watch(simulator.link());
    for (auto _ : state) {
        state.counters["cpu_seconds"] = runMeasuringCpu(state, int(state.range(1)));
    }
    state.counters["still_waiting"] = watcher.isWatching() ? 1 : 0;
}
BENCHMARK(BM_DeviceReturnWatcherCpuWhileWaiting)
    ->Args({1, 60})
    ->Args({0, 60})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

/// From a device's return to the watcher's report, over 20 returns: with the argument 0 a link
/// to a character device appears in the folder watched (the folder's change tells), with 1 the
/// device appears behind a link left in place, in a folder not watched (the look twice a second
/// finds it).
void BM_DeviceReturnToReport(benchmark::State &state)
{
    const QTemporaryDir dir;
    const QDir root(dir.path());
    root.mkdir(QStringLiteral("links"));
    root.mkdir(QStringLiteral("nodes"));
    const bool behindLink = state.range(0) == 1;
    const QString path = root.filePath(QStringLiteral("links/ttyUSB0"));
    const QString node = root.filePath(QStringLiteral("nodes/ttyUSB1"));
    DeviceReturnWatcher watcher;
    QElapsedTimer sinceReturn;
    qint64 reported = -1;
    QObject::connect(&watcher, &DeviceReturnWatcher::deviceReturned,
        [&] { reported = sinceReturn.nsecsElapsed(); });
    constexpr int kReturns = 20;
    for (auto _ : state) {
        std::vector<double> milliseconds;
        for (int round = 0; round < kReturns; ++round) {
            QFile::remove(path);
            QFile::remove(node);
            if (behindLink)
                QFile::link(node, path);
            watcher.watch(path);
            // Returns come at any moment of the watcher's half-second look.
            runEventLoopFor(37 * round % 500);
            reported = -1;
            sinceReturn.start();
            QFile::link(QStringLiteral("/dev/null"), behindLink ? node : path);
            if (!runEventLoopUntil([&] { return reported >= 0; }, 5000)) {
                state.SkipWithError("the return was not reported");
                return;
            }
            milliseconds.push_back(reported / 1e6);
        }
        state.SetIterationTime(0);
        reportTimes(state, {}, milliseconds);
    }
}
BENCHMARK(BM_DeviceReturnToReport)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime();

/// The simulator's cable plugged in again, ten times: from the command that brings its device
/// back to the port open again (PortReconnector) and to the first whole line read after it. The
/// device's return itself lies a few milliseconds after the command.
void BM_SimulatorReturnToReopen(benchmark::State &state)
{
    const QTemporaryDir dir;
    SimulatorProcess::Options options;
    options.periodMs = 50;
    SimulatorProcess simulator(dir.filePath(QStringLiteral("ttyTERMIVA")), options);
    if (!simulator.start()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    PortMap ports;
    ports.setDevice(1, simulator.link());
    SerialComm port(ports);
    port.setRThreshold(1);
    PortReconnector reconnector(&port);
    QObject::connect(&port, &MSComm::connectionLost, &reconnector, &PortReconnector::handleLoss);
    QString received;
    QObject::connect(&port, &MSComm::OnComm, [&] { received += port.Input().text; });
    if (port.setPortOpen(true)) {
        state.SkipWithError("the port did not open");
        return;
    }
    reconnector.follow();
    constexpr int kReturns = 10;
    for (auto _ : state) {
        std::vector<double> reopen;
        std::vector<double> firstLine;
        for (int round = 0; round < kReturns; ++round) {
            simulator.command(QStringLiteral("drop"));
            if (!runEventLoopUntil([&] { return reconnector.isWaiting(); }, 10000)) {
                state.SkipWithError("the loss was not noticed");
                return;
            }
            runEventLoopFor(37 * round % 500);
            QElapsedTimer sinceReturn;
            sinceReturn.start();
            simulator.command(QStringLiteral("restore"));
            if (!runEventLoopUntil([&] { return port.PortOpen(); }, 10000)) {
                state.SkipWithError("the port was not reopened");
                return;
            }
            reopen.push_back(sinceReturn.nsecsElapsed() / 1e6);
            received.clear();
            if (!runEventLoopUntil(
                    [&] { return received.contains(QStringLiteral("\r\n")); }, 10000)) {
                state.SkipWithError("no line after the reconnect");
                return;
            }
            // The simulator's new device starts at the beginning of a line.
            firstLine.push_back(sinceReturn.nsecsElapsed() / 1e6);
        }
        state.SetIterationTime(0);
        reportTimes(state, "reopen_", reopen);
        reportTimes(state, "first_line_", firstLine);
    }
}
BENCHMARK(BM_SimulatorReturnToReopen)->Iterations(1)->UseManualTime();

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
    SimulatedConsole console(500, {}, 250);
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
    const double peakBefore = ProcessMemory::peakResidentMegabytes();
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
    state.counters["lines"] = double(console.window().session().controller().FrameCount);
    state.counters["peak_rss_mb_before"] = peakBefore;
    state.counters["peak_rss_mb_after"] = ProcessMemory::peakResidentMegabytes();
}
BENCHMARK(BM_PeakMemoryAfterAMillionLines)->Iterations(1)->Unit(benchmark::kSecond);
} // namespace
