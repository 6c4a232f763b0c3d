// The hot paths in wall time, for people who profile by hand. scripts/perf
// gates on instruction counts instead; these numbers are not a test.
#include <benchmark/benchmark.h>

#include "paths.h"

namespace {

void Path(benchmark::State& state, const char* path, const char* argument) {
    SetUpPath(path, argument);
    for (auto _ : state) RunPath();
}

BENCHMARK_CAPTURE(Path, key_by_code, "key-code", "");
BENCHMARK_CAPTURE(Path, key_by_name, "key-name", "Ctrl-Alt-Shift-Decimal");
BENCHMARK_CAPTURE(Path, hotkey, "hotkey", "");
BENCHMARK_CAPTURE(Path, list, "list", "");
BENCHMARK_CAPTURE(Path, tick_idle, "tick-idle", "");
BENCHMARK_CAPTURE(Path, tick_slow, "tick-slow", "");
BENCHMARK_CAPTURE(Path, paint_80_columns, "paint", "80");
BENCHMARK_CAPTURE(Path, paint_alt_80_columns, "paint-alt:*2,*3,*4,*5,*6,*7,*8,*9,*10,*11,*12,*13,*14,*15,*16,*17=Red", "80");
BENCHMARK_CAPTURE(Path, report, "report", "");

}  // namespace
