// Macro library benchmarks.
//
// BM_BuildLibraryImage: the image of a full library (50 macros whose
//   actions fill the simulated mouse's 4096-byte macro memory) built from
//   its 50 ".mac" files and the index, as the upload does. Counters:
//   image_bytes, and ratio_to_memory, the time over building the same image
//   from actions already in memory (the baseline, measured in this run):
//   what reading the files costs.
//
// BM_UploadFullImage: the macro memory write of that full image (Begin, 74
//   chunks, End with its 10 ms pause) to the in-process simulated mouse with
//   the latency model at 1 ms per USB report. Counter: ratio_to_model, the
//   measured time over the modelled minimum of 2 reports per frame + 10 ms;
//   ratio_to_sleep, the measured time over as many precise 1 ms sleeps
//   (and one of 10 ms) measured in this run, which shows how much of the
//   excess a loaded machine's sleeping explains.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/prctl.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "device/commands.h"
#include "device/precise_sleep.h"
#include "macro/macro_upload.h"
#include "sim/connect_read.h"
#include "sim/firmware_model.h"
#include "sim/sim_backend.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kCapacity = 4096;
constexpr size_t kMacros = 50;
// Actions that fill the capacity exactly: 16 + 6 * 50 + 4 * 945 = 4096.
constexpr size_t kActions = (kCapacity - 16 - 6 * kMacros) / 4;

// A temporary home with a full mouse library in its device folder.
struct FullLibrary {
  FullLibrary() {
    char pattern[] = "/tmp/trx770-bench-XXXXXX";
    root = ::mkdtemp(pattern);
    ::setenv("HOME", root.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/.config").c_str(), 1);
    store = trx::macro::MacroStoreFor(trx::DeviceKind::Mouse);
    std::ofstream index(store.index_path);
    index << "[MACROCOUNT]\ncount=" << kMacros << "\n[MACRONAME]\n";
    for (size_t i = 0; i < kMacros; ++i) index << i << "=bench_" << i << "\n";
    for (size_t i = 0; i < kMacros; ++i) {
      const size_t n = kActions / kMacros + (i < kActions % kMacros ? 1 : 0);
      std::ofstream mac(store.folder + "bench_" + std::to_string(i) + ".mac");
      mac << "[MACROACTIONCOUNT]\ncount=" << n << "\n[MACROACTION]\n";
      trx::macro::ImageMacro macro;
      for (size_t k = 0; k < n; ++k) {
        trx::macro::MacroAction a{static_cast<uint16_t>(k * 7), static_cast<uint8_t>(k % 2 ? 0x8A : 0x0A),
                                  static_cast<uint8_t>(4 + k % 26), static_cast<uint16_t>(k % 2), "keyboard_key_A"};
        mac << k << "=" << trx::macro::FormatActionLine(a) << "\n";
        macro.push_back(trx::macro::ToImageAction(a));
      }
      mac << "[MACROSELECTNAME]\nname=bench_" << i << "\n";
      in_memory.push_back(std::move(macro));
    }
  }
  ~FullLibrary() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  std::string root;
  trx::macro::MacroStore store;
  std::vector<trx::macro::ImageMacro> in_memory;
};

double InMemoryBuildMicros(const std::vector<trx::macro::ImageMacro>& macros, int count) {
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) benchmark::DoNotOptimize(trx::macro::BuildMacroImage(macros));
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / count;
}

void BM_BuildLibraryImage(benchmark::State& state) {
  FullLibrary library;
  const double baseline_us = InMemoryBuildMicros(library.in_memory, 200);
  std::vector<uint8_t> image;
  double total_us = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto report = trx::macro::BuildLibraryImage(library.store, kCapacity, image);
    total_us += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    if (report.result != trx::macro::MacroResult::Ok) state.SkipWithError("the library did not build");
  }
  const double mean_us = total_us / static_cast<double>(state.iterations());
  state.counters["image_bytes"] = static_cast<double>(image.size());
  state.counters["us_per_image"] = mean_us;
  state.counters["baseline_us"] = baseline_us;
  state.counters["ratio_to_memory"] = mean_us / baseline_us;
}
BENCHMARK(BM_BuildLibraryImage)->Unit(benchmark::kMillisecond);

void BM_UploadFullImage(benchmark::State& state) {
  FullLibrary library;
  std::vector<uint8_t> image;
  trx::macro::BuildLibraryImage(library.store, kCapacity, image);
  auto backend = std::make_shared<trx::sim::SimBackend>();
  auto firmware = std::make_shared<trx::sim::SimFirmware>(trx::sim::SimKind::Mouse);
  firmware->SetRecording(false);
  backend->AddDevice(firmware);
  trx::CDeviceChannel channel(trx::DeviceKind::Mouse, backend);
  channel.SetIdentity(0x0C45, 0x652C, 0xFF1C, 0x92);
  if (image.size() != kCapacity || !trx::sim::ConnectMatchingInterface(channel)) {
    state.SkipWithError("no full image or no simulated mouse");
    return;
  }
  trx::sim::SimFaults faults;
  faults.report_time = std::chrono::milliseconds(1);
  firmware->SetFaults(faults);
  const size_t chunks = (image.size() + trx::kFramePayload - 1) / trx::kFramePayload;
  const double model_ms = 2.0 * static_cast<double>(chunks + 2) + trx::kEndTransferPauseMs;
  const auto sleep_start = Clock::now();
  for (size_t i = 0; i < 2 * (chunks + 2); ++i) trx::SleepForPrecise(std::chrono::milliseconds(1));
  trx::SleepForPrecise(std::chrono::milliseconds(trx::kEndTransferPauseMs));
  const double sleep_ms = std::chrono::duration<double, std::milli>(Clock::now() - sleep_start).count();
  double total_ms = 0;
  int failures = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    trx::CommandResult rc = trx::BeginTransfer(channel);
    if (rc == trx::kResultOk) rc = trx::WriteMacroMemory(channel, image.data(), image.size());
    if (trx::EndTransfer(channel) != trx::kResultOk || rc != trx::kResultOk) ++failures;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    state.SetIterationTime(ms / 1000.0);
    total_ms += ms;
  }
  const double mean_ms = total_ms / static_cast<double>(state.iterations());
  state.counters["chunks"] = static_cast<double>(chunks);
  state.counters["model_ms"] = model_ms;
  state.counters["mean_ms"] = mean_ms;
  state.counters["ratio_to_model"] = mean_ms / model_ms;
  state.counters["ratio_to_sleep"] = mean_ms / sleep_ms;
  state.counters["failures"] = failures;
}
BENCHMARK(BM_UploadFullImage)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);  // the latency model needs precise sleeps
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
