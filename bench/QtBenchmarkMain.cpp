// The entry point of the benchmarks that time the program's own routines: they read settings and
// files through Qt, which wants its application object before any of that runs.
#include <QCoreApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
