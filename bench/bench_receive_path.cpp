#include "memory_comm.h"
#include "offline_console.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {
QByteArray realisticLines(int count)
{
    QByteArray lines;
    for (int n = 0; n < count; ++n) {
        lines += QStringLiteral("st=0600 pv=%1 out= %2 pid= 010, 005, 002\r\n")
                     .arg(250 + n % 400, 4, 10, QLatin1Char('0'))
                     .arg(n % 256, 3, 10, QLatin1Char('0'))
                     .toLatin1();
    }
    return lines;
}

QByteArray noise(int size)
{
    std::mt19937 random(7);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random() & 0xFF);
    return bytes;
}

/// An application folder whose settings file turns recording off.
QString unrecordedApplicationDir(const QTemporaryDir &directory)
{
    QFile settings(directory.filePath(QStringLiteral("tarvex.ini")));
    if (settings.open(QIODevice::WriteOnly))
        settings.write("[RECORD]\r\nENABLED=0\r\n");
    return directory.path();
}

/// Characters per second through the receive path of a connected, shown window; recorded as
/// the console records by default unless told otherwise.
void receiveThroughWindow(benchmark::State &state, const QByteArray &stream, bool recorded = true)
{
    const QTemporaryDir directory;
    OfflineConsole console(OfflineConsole::Visibility::Shown,
        recorded ? QString() : unrecordedApplicationDir(directory));
    console.connectPort();
    MemoryComm &port = console.port();
    for (auto _ : state) {
        port.feed(stream);
        port.deliverFed();
    }
    state.SetBytesProcessed(state.iterations() * stream.size());
}

void BM_ReceiveRealisticLines(benchmark::State &state)
{
    receiveThroughWindow(state, realisticLines(2000));
}
BENCHMARK(BM_ReceiveRealisticLines)->Unit(benchmark::kMillisecond);

void BM_ReceiveRealisticLinesUnrecorded(benchmark::State &state)
{
    receiveThroughWindow(state, realisticLines(2000), false);
}
BENCHMARK(BM_ReceiveRealisticLinesUnrecorded)->Unit(benchmark::kMillisecond);

void BM_ReceiveNoise(benchmark::State &state)
{
    receiveThroughWindow(state, noise(100000));
}
BENCHMARK(BM_ReceiveNoise)->Unit(benchmark::kMillisecond);
} // namespace
