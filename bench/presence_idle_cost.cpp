// Measures what the five presence threads cost while no device is plugged
// in: runs them for a while against an empty fake hidraw tree (or, with
// --system, the machine's own /sys and /dev) and prints the process's CPU
// time as a share of one core.
//
//   presence_idle_cost [--seconds N] [--system] [--others N]
//
// --others N lists N interfaces of another vendor in the fake tree, as a
// desktop's keyboard, mouse and headset would be.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/hidraw_backend.h"
#include "presence/presence_threads.h"
#include "sim/hidraw_fake_tree.h"
#include "sim/report_descriptors.h"

namespace {

using namespace trx;

// A main window with nothing to show: the threads never reach it while no
// device is present.
class IdleHost : public IPresenceHost {
 public:
  explicit IdleHost(std::shared_ptr<IHidBackend> backend)
      : keyboard_(DeviceKind::Keyboard, backend), mouse_(DeviceKind::Mouse, backend), pad_(DeviceKind::MousePad, backend) {
    keyboard_.SetIdentity(0x0C45, 0x6556, 0xFF1C, 0x92);
    mouse_.SetIdentity(0x0C45, 0x652C, 0xFF1C, 0x92);
    pad_.SetIdentity(0x0C45, 0x6758, 0xFF1C, 0x92);
  }
  CDeviceChannel& Channel(DeviceKind kind) override {
    return kind == DeviceKind::Keyboard ? keyboard_ : kind == DeviceKind::MousePad ? pad_ : mouse_;
  }
  void OnDeviceConnected(DeviceKind, const ConnectResult&) override {}
  void OnDeviceLeft(const RemovalPlan&) override {}
  void OnSameModeChanged(DeviceKind, bool) override {}
  void OnDeviceRead(DeviceKind) override {}
  void ShowMainWindow() override {}
  int ShowMessage(const char*) override { return 1; }
  void PostInstanceMessage() override {}
  void StartTimer(int, int) override {}
  void SendReadMessage(uint32_t) override {}
  void RequestLightingRefresh() override {}
  void ReadMouseRoutines() override {}

 private:
  CDeviceChannel keyboard_, mouse_, pad_;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 30;
  bool system = false;
  int others = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) seconds = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--system") == 0) system = true;
    else if (std::strcmp(argv[i], "--others") == 0 && i + 1 < argc) others = std::atoi(argv[++i]);
    else {
      std::fprintf(stderr, "usage: %s [--seconds N] [--system] [--others N]\n", argv[0]);
      return 2;
    }
  }
  FakeHidrawTree tree;
  for (int i = 0; i < others; ++i) {
    if (tree.AddInterface(0x046D, static_cast<uint16_t>(0xC500 + i), sim::VendorReportDescriptor()).index < 0) {
      std::fprintf(stderr, "could not add interface %d\n", i);
      return 1;
    }
  }
  std::shared_ptr<IHidBackend> backend;
  if (system) backend = std::make_shared<HidrawBackend>("/sys", "/dev");
  else backend = tree.MakeBackend();
  IdleHost host(backend);

  std::vector<std::unique_ptr<CEvent>> stops;
  std::vector<std::thread> threads;
  int (*routines[])(PresenceThreadParam) = {KeyboardDetectionThread, MouseDetectionThread, MousePadDetectionThread,
                                            MouseSyncThread, KeyboardSyncThread};
  const double cpu_start = CpuSeconds();
  const auto wall_start = std::chrono::steady_clock::now();
  for (auto routine : routines) {
    stops.push_back(std::make_unique<CEvent>(CEvent::Reset::Manual));
    PresenceThreadParam param{&host, stops.back().get(), backend};
    threads.emplace_back([routine, param] { routine(param); });
  }
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  for (auto& stop : stops) stop->Set();
  for (auto& thread : threads) thread.join();
  const double cpu = CpuSeconds() - cpu_start;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
  std::printf("%s, %d other interfaces: %.3f s CPU in %.1f s = %.3f%% of one core\n", system ? "system hidraw" : "fake tree", system ? 0 : others, cpu, wall,
              100.0 * cpu / wall);
  return 0;
}
