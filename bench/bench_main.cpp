#include "application_setup.h"

#include <QApplication>

#include <benchmark/benchmark.h>

/// The benchmarks run in a headless application with the console's look.
int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpConsoleApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
