#include "engine/base/Angle.h"

#include <benchmark/benchmark.h>

// The benchmarks' main: a QGuiApplication (or, for the widgets, a QApplication) on the offscreen
// platform (fonts, painting) and the angle tables, as the program has them after start-up.
#ifdef SMG_BENCH_WIDGETS
#include <QApplication>
using BenchApplication = QApplication;
#else
#include <QGuiApplication>
using BenchApplication = QGuiApplication;
#endif

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    BenchApplication app(argc, argv);
    InitTrigTables();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
