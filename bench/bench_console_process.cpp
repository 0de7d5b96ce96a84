#include "frm_main.h"
#include "memory_comm.h"
#include "offline_console.h"
#include "serial_comm.h"
#include "system_clock.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
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

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void runEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

/// The whole console, shown offscreen and connected to the simulator, over a minute of
/// telemetry: the CPU time it uses. The argument picks the load: 0 the controller's own pace
/// (a line every 500 ms), 1 the link's full rate (960 characters a second).
void BM_ConsoleCpuOverAMinute(benchmark::State &state)
{
    const QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyTERMIVA"));
    QProcess simulator;
    simulator.start(QStringLiteral(TERMIVA_SIM_BINARY), {"--link", link, "--period-ms", "500"});
    if (!simulator.waitForReadyRead(10000)) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    PortMap ports;
    ports.setDevice(1, link);
    frmMain window(
        std::make_unique<SerialComm>(ports), std::make_shared<SystemClock>(), dir.path());
    window.show();
    window.findChild<QAbstractButton *>(QStringLiteral("cmdConnect"))->click();
    if (state.range(0) == 1)
        simulator.write("flood 1000000 960\n");
    const int seconds = int(state.range(1));
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runEventLoopFor(seconds * 1000);
        const double cpu = cpuSeconds() - cpuBefore;
        state.SetIterationTime(wall.elapsed() / 1000.0);
        state.counters["cpu_seconds"] = cpu;
        state.counters["cpu_share_percent"] = 100.0 * cpu / (wall.elapsed() / 1000.0);
        state.counters["lines"] = double(window.state().FrameCount);
    }
    simulator.terminate();
    simulator.waitForFinished();
}
BENCHMARK(BM_ConsoleCpuOverAMinute)
    ->Args({0, 60})
    ->Args({1, 60})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

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
