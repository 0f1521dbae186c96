// One lighting engine cycle per family's heaviest modes, over all 161
// preview slots.
//
// BM_CopyBaseline: copying one frame (the baseline: what publishing a frame
//   costs anyway). Every other benchmark reports ns per cycle and
//   ratio_to_copy, its time over the baseline measured first in this run.

#include <benchmark/benchmark.h>

#include <chrono>

#include "lighting/engines.h"

namespace {

using namespace trx::lighting;

double g_copy_ns = 0;

template <typename Body>
void Run(benchmark::State& state, Body body) {
  const auto start = std::chrono::steady_clock::now();
  int64_t n = 0;
  for (auto _ : state) {
    body();
    ++n;
  }
  const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() /
                    static_cast<double>(n ? n : 1);
  state.counters["ns_per_cycle"] = ns;
  if (g_copy_ns > 0) state.counters["ratio_to_copy"] = ns / g_copy_ns;
}

void BM_CopyBaseline(benchmark::State& state) {
  Frame a, b;
  a.tints[7].alpha = 3;
  Run(state, [&] {
    b = a;
    benchmark::DoNotOptimize(b);
    benchmark::ClobberMemory();
  });
  g_copy_ns = state.counters["ns_per_cycle"];
}

void BM_MouseRollingGroups(benchmark::State& state) {
  MouseEngine e;
  Frame f;
  EffectSettings s;
  s.mode = 5;
  s.colour_cycle = 1;
  Run(state, [&] {
    e.Cycle(s, {}, f);
    benchmark::DoNotOptimize(f);
  });
}

void BM_PadSparks(benchmark::State& state) {
  PadEngine e;
  Frame f;
  EffectSettings s;
  s.mode = static_cast<uint8_t>(state.range(0));
  s.colour_cycle = 1;
  CycleInput in;
  Run(state, [&] {
    in.now_ms += 100;
    e.Cycle(s, in, f);
    benchmark::DoNotOptimize(f);
  });
}

void BM_KeyboardMode(benchmark::State& state) {
  KeyboardEngine e;
  Frame f;
  EffectSettings s;
  s.mode = static_cast<uint8_t>(state.range(0));
  s.colour_cycle = 1;
  CycleInput in;
  in.marks.set(30);
  Run(state, [&] {
    e.Cycle(s, in, f);
    benchmark::DoNotOptimize(f);
  });
}

void BM_SyncWaveAllFamilies(benchmark::State& state) {
  SyncEngine e;
  Frame f;
  EffectSettings s;
  s.colour_cycle = 1;
  Run(state, [&] {
    e.Cycle(s, {true, true, true}, f);
    benchmark::DoNotOptimize(f);
  });
}

BENCHMARK(BM_CopyBaseline);
BENCHMARK(BM_MouseRollingGroups);
BENCHMARK(BM_PadSparks)->Arg(5)->Arg(7)->Arg(8);
BENCHMARK(BM_KeyboardMode)->Arg(4)->Arg(6)->Arg(9)->Arg(11)->Arg(12)->Arg(13)->Arg(15);
BENCHMARK(BM_SyncWaveAllFamilies);

}  // namespace

BENCHMARK_MAIN();
