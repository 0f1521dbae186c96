#include "app/program_bus.h"

#include <sstream>

#include "bus/bus_names.h"
#include "ctl/ctl_command.h"
#include "device/device_ids.h"
#include "profile/profile_families.h"
#include "services/device_session.h"

namespace trx::app {
namespace {

const char* FamilyWord(ProfileFamily f) {
  return f == ProfileFamily::Device ? "device" : f == ProfileFamily::Light ? "light" : "key";
}

// Forwards a command's selections to the program's target and remembers
// them for the signal.
class SelectForwarder final : public IProfileSelectTarget {
 public:
  explicit SelectForwarder(IProfileSelectTarget* program) : program_(program) {}
  CDeviceChannel* Channel(DeviceKind) override { return nullptr; }
  void MarkSettingsPending(DeviceKind) override {}
  void ProfileSelected(const ProfileSelection& s) override {
    selections.push_back(s);
    if (program_ != nullptr) program_->ProfileSelected(s);
  }
  std::vector<ProfileSelection> selections;

 private:
  IProfileSelectTarget* program_;
};

}  // namespace

CProgramBus::CProgramBus(ProgramBusHost host, std::string bus_address)
    : host_(std::move(host)),
      service_([this](const std::vector<std::string>& words, bool json) { return Run(words, json); },
               std::move(bus_address)) {}

CProgramBus::~CProgramBus() { Stop(); }

bool CProgramBus::Start(std::string* error) { return service_.Start(error); }

void CProgramBus::Stop() { service_.Stop(); }

std::vector<DeviceKind> CProgramBus::ChangedKinds(const std::vector<std::string>& w) {
  if (w.empty() || ctl::IsReadOnlyCommand(w)) return {};
  if (w[0] == "routine") return {DeviceKind::Mouse};
  if (w[0] == "light" && w.size() > 1 && w[1] == "copy-to-all")
    return {DeviceKind::Mouse, DeviceKind::Keyboard, DeviceKind::MousePad};
  const bool word_after_sub = w[0] == "light" || w[0] == "macro" || w[0] == "button" || w[0] == "profile";
  const size_t at = word_after_sub ? 2 : 1;
  if (w.size() <= at) return {};
  auto kind = ParseDeviceKind(w[at]);
  if (!kind) return {};
  return {*kind};
}

std::optional<DeviceKind> CProgramBus::DeviceOf(const std::vector<std::string>& w) {
  if (w.empty()) return std::nullopt;
  const std::string& c = w[0];
  if (c == "routine") return DeviceKind::Mouse;
  if (c == "light" && w.size() > 1 && w[1] == "copy-to-all") return std::nullopt;
  const bool word_after_sub = c == "light" || c == "macro" || c == "button" || c == "profile";
  const size_t at = word_after_sub ? 2 : 1;
  if (c == "devices" || w.size() <= at) return std::nullopt;
  return ParseDeviceKind(w[at]);
}

bus::CommandOutput CProgramBus::Run(const std::vector<std::string>& words, bool json) {
  SelectForwarder forwarder(host_.select_target);
  ctl::CommandDevices devices;
  devices.open = [this](DeviceKind kind, OpenReport& report) -> CDeviceChannel* {
    CDeviceChannel& channel = host_.channel(kind);
    std::lock_guard<std::recursive_mutex> guard(channel.lock);
    report = {};
    if (!channel.connected) return nullptr;  // NotPresent
    report.result = OpenResult::Opened;
    report.path = channel.transport.device_path;
    return &channel;
  };
  devices.profile_hooks.program = &forwarder;
  std::ostringstream out, err;
  ctl::ExitCode code = ctl::ExitCode::Ok;
  auto run = [&] { code = ctl::RunCommand(words, json, devices, out, err); };
  const std::optional<DeviceKind> device = DeviceOf(words);
  if (device && host_.on_queue) {
    const OperationStatus status = host_.on_queue(*device, run);
    if (status == OperationStatus::NotReady) {
      err << "trx770ctl: the " << DeviceKindName(*device) << " is still being read by trx770; try again in a moment\n";
      return {static_cast<int>(ctl::ExitCode::Busy), {}, err.str()};
    }
    if (status != OperationStatus::Ran) {
      err << "trx770ctl: trx770 is quitting; nothing was sent\n";
      return {static_cast<int>(ctl::ExitCode::DeviceError), {}, err.str()};
    }
  } else {
    run();
  }
  bus::CommandOutput r{static_cast<int>(code), out.str(), err.str()};
  if (code != ctl::ExitCode::Ok) return r;
  for (DeviceKind kind : ChangedKinds(words)) {
    if (words[0] == "profile" && host_.profiles_changed) host_.profiles_changed(kind);
    if (!host_.channel(kind).connected) continue;
    if (host_.reread) host_.reread(kind);
    service_.SettingsChanged(kind);
  }
  for (const ProfileSelection& s : forwarder.selections) {
    const ProfileFamilyInfo* info = FindFamily(s.kind, s.family);
    if (info == nullptr) continue;
    const std::vector<std::string> names = ProfileNames(*info);
    const std::string name =
        s.index >= 0 && static_cast<size_t>(s.index) < names.size() ? names[static_cast<size_t>(s.index)] : "";
    service_.ProfileChanged(s.kind, FamilyWord(s.family), name, bus::kReasonUser);
  }
  return r;
}

}  // namespace trx::app
