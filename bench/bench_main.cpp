#include "app/application_setup.h"

#include <QApplication>

#include <benchmark/benchmark.h>

/// The benchmarks run in an application with the console's look, headless unless
/// QT_QPA_PLATFORM names a display (the process benchmark is run on a virtual X display too).
int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpConsoleApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
