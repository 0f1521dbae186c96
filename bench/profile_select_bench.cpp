// Profile Select end to end: SelectProfile of a mouse device profile (read
// the file, Write settings bytes with the current record, Write key block 0,
// load the image, the INI "select" written) on the simulated mouse with the
// latency model at 1 ms per USB report.
//
// BM_SelectMouseDeviceProfile: in-process simulator. Counters: frames (the
// requests one select sends), model_ms (2 reports per frame, plus End
// transfer's 10 ms pause where one is sent), mean_ms and ratio_to_model,
// the goal being 1.1 or less; ratio_to_sleep, the time over as many precise
// 1 ms sleeps measured in this run (what a loaded machine's sleeping
// explains).
//
// BM_SelectMouseDeviceProfileThroughHidraw: the same with the mouse behind
// the fake hidraw tree (pty node, pump thread). Counters: ratio_to_model,
// and ratio_to_transport, the time over the same frames moved straight
// through the backend's connection (write, read the reply) in this run:
// what the program adds to the fake transport's own cost.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/prctl.h>

#include <chrono>
#include <memory>
#include <string>

#include "device/commands.h"
#include "device/device_channel.h"
#include "device/hidraw_backend.h"
#include "device/precise_sleep.h"
#include "platform/event.h"
#include "platform/ini_file.h"
#include "profile/profile_families.h"
#include "profile/profile_operations.h"
#include "profile/profile_store.h"
#include "sim/connect_read.h"
#include "sim/firmware_model.h"
#include "sim/hidraw_attach.h"
#include "sim/hidraw_fake_tree.h"
#include "sim/sim_backend.h"

namespace {

using Clock = std::chrono::steady_clock;

// A temporary home holding one mouse device profile, selected.
struct ProfileHome {
  ProfileHome() {
    char pattern[] = "/tmp/trx770-bench-XXXXXX";
    root = ::mkdtemp(pattern);
    ::setenv("HOME", root.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/.config").c_str(), 1);
    const trx::ProfileFamilyInfo& info = *trx::FindFamily(trx::DeviceKind::Mouse, trx::ProfileFamily::Device);
    const std::string ini = trx::ProfileIniPath(trx::DeviceKind::Mouse);
    ok = trx::WritePrivateProfileString(info.count_section, "count", "1", ini) &&
         trx::WritePrivateProfileString(info.name_section, "0", "bench", ini) &&
         trx::WritePrivateProfileString(info.select_section, "select", "0", ini) &&
         trx::SaveCurrentProfile(trx::DeviceKind::Mouse, trx::ProfileFamily::Device) == trx::ProfileSaveResult::Saved;
  }
  std::string root;
  bool ok = false;
};

class ChannelTarget : public trx::IProfileSelectTarget {
 public:
  explicit ChannelTarget(trx::CDeviceChannel& channel) : channel_(channel) {}
  trx::CDeviceChannel* Channel(trx::DeviceKind) override { return &channel_; }
  void MarkSettingsPending(trx::DeviceKind) override {}
  void ProfileSelected(const trx::ProfileSelection&) override {}

 private:
  trx::CDeviceChannel& channel_;
};

// The frames one select sends and the modelled minimum for them.
struct SelectModel {
  int frames = 0;
  double model_ms = 0;
};

// Runs one select with the firmware recording, to count what it sends.
SelectModel MeasureModel(trx::CDeviceChannel& channel, trx::sim::SimFirmware& firmware) {
  firmware.SetRecording(true);
  firmware.ClearRequests();
  ChannelTarget target(channel);
  trx::SelectProfile(trx::DeviceKind::Mouse, trx::ProfileFamily::Device, 0, target);
  SelectModel model;
  for (const trx::sim::SimFrame& frame : firmware.Requests()) {
    ++model.frames;
    model.model_ms += 2.0;
    if (frame[trx::kFrameCommand] == trx::kCmdEndTransfer) model.model_ms += trx::kEndTransferPauseMs;
  }
  firmware.ClearRequests();
  firmware.SetRecording(false);
  return model;
}

// Milliseconds of `sleeps` precise sleeps of 1 ms.
double SleepBaselineMs(int sleeps) {
  const auto start = Clock::now();
  for (int i = 0; i < sleeps; ++i) trx::SleepForPrecise(std::chrono::milliseconds(1));
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Mean milliseconds of one select over the benchmark's iterations.
double TimeSelects(benchmark::State& state, trx::CDeviceChannel& channel, int& failures) {
  ChannelTarget target(channel);
  double total_ms = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    if (trx::SelectProfile(trx::DeviceKind::Mouse, trx::ProfileFamily::Device, 0, target) != trx::ProfileOpResult::Ok)
      ++failures;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    state.SetIterationTime(ms / 1000.0);
    total_ms += ms;
  }
  return total_ms / static_cast<double>(state.iterations());
}

void BM_SelectMouseDeviceProfile(benchmark::State& state) {
  ProfileHome home;
  auto backend = std::make_shared<trx::sim::SimBackend>();
  auto firmware = std::make_shared<trx::sim::SimFirmware>(trx::sim::SimKind::Mouse);
  backend->AddDevice(firmware);
  trx::CDeviceChannel channel(trx::DeviceKind::Mouse, backend);
  channel.SetIdentity(0x0C45, 0x652C, 0xFF1C, 0x92);
  if (!home.ok || !trx::sim::ConnectMatchingInterface(channel)) {
    state.SkipWithError("profile or simulated mouse not set up");
    return;
  }
  channel.connected = 1;
  trx::sim::SimFaults faults;
  faults.report_time = std::chrono::milliseconds(1);
  firmware->SetFaults(faults);
  const SelectModel model = MeasureModel(channel, *firmware);
  const double sleep_ms = SleepBaselineMs(2 * model.frames);
  int failures = 0;
  const double mean_ms = TimeSelects(state, channel, failures);
  state.counters["frames"] = model.frames;
  state.counters["model_ms"] = model.model_ms;
  state.counters["mean_ms"] = mean_ms;
  state.counters["ratio_to_model"] = mean_ms / model.model_ms;
  state.counters["ratio_to_sleep"] = mean_ms / sleep_ms;
  state.counters["goal_ratio"] = 1.1;
  state.counters["failures"] = failures;
}
BENCHMARK(BM_SelectMouseDeviceProfile)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// Milliseconds to move `frames` requests and their replies straight through
// a connection of the backend (no protocol, no writer thread).
double TransportMs(trx::IHidBackend& backend, const std::string& path, int frames) {
  auto connection = backend.Open(path, true, true, false);
  if (!connection) return -1;
  trx::CEvent stop;
  const trx::Frame request = trx::BuildFrame(trx::kCmdReadSettings, 56, 64);
  trx::Frame reply{};
  size_t moved = 0;
  const auto start = Clock::now();
  for (int i = 0; i < frames; ++i) {
    if (connection->Write(request.data(), request.size(), 1000, stop, moved) != trx::HidIo::Ok ||
        connection->Read(reply.data(), reply.size(), 300, stop, moved) != trx::HidIo::Ok)
      return -1;
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_SelectMouseDeviceProfileThroughHidraw(benchmark::State& state) {
  ProfileHome home;
  trx::FakeHidrawTree tree;
  auto firmware = std::make_shared<trx::sim::SimFirmware>(trx::sim::SimKind::Mouse);
  trx::sim::HidrawSimAttachment attachment(tree, firmware);
  auto backend = tree.MakeBackend();
  trx::CDeviceChannel channel(trx::DeviceKind::Mouse, backend);
  channel.SetIdentity(0x0C45, 0x652C, 0xFF1C, 0x92);
  if (!home.ok || !attachment.Valid() || !trx::sim::ConnectMatchingInterface(channel)) {
    state.SkipWithError("profile or mouse behind the fake hidraw tree not set up");
    return;
  }
  channel.connected = 1;
  trx::sim::SimFaults faults;
  faults.report_time = std::chrono::milliseconds(1);
  firmware->SetFaults(faults);
  const SelectModel model = MeasureModel(channel, *firmware);
  double transport_ms = 0;
  for (int i = 0; i < 5; ++i) transport_ms += TransportMs(*backend, channel.transport.device_path, model.frames) / 5;
  int failures = 0;
  const double mean_ms = TimeSelects(state, channel, failures);
  state.counters["frames"] = model.frames;
  state.counters["model_ms"] = model.model_ms;
  state.counters["mean_ms"] = mean_ms;
  state.counters["ratio_to_model"] = mean_ms / model.model_ms;
  state.counters["ratio_to_transport"] = transport_ms > 0 ? mean_ms / transport_ms : 0;
  state.counters["goal_ratio"] = 1.1;
  state.counters["failures"] = failures;
}
BENCHMARK(BM_SelectMouseDeviceProfileThroughHidraw)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Sleeps end within ~1 us of their deadline instead of the default 50 us
  // timer slack; the latency model depends on it.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
