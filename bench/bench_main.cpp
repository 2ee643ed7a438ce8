// The benchmark program's entry point.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
