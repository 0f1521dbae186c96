#include "sim/demo_devices.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/atomic_file.h"
#include "platform/debug_log.h"

#include "device/hid_device.h"
#include "device/hidraw_backend.h"

namespace trx::sim {
namespace {

constexpr SimKind kAllKinds[] = {SimKind::Mouse, SimKind::Keyboard, SimKind::MousePad};

bool* Flag(SimulateSelection& selection, std::string_view name) {
  if (name == "mouse") return &selection.mouse;
  if (name == "keyboard") return &selection.keyboard;
  if (name == "pad") return &selection.pad;
  return nullptr;
}

}  // namespace

bool SimulateSelection::Has(SimKind kind) const {
  switch (kind) {
    case SimKind::Mouse: return mouse;
    case SimKind::Keyboard: return keyboard;
    case SimKind::MousePad: return pad;
  }
  return false;
}

const char* SimKindName(SimKind kind) {
  switch (kind) {
    case SimKind::Keyboard: return "keyboard";
    case SimKind::MousePad: return "pad";
    case SimKind::Mouse: break;
  }
  return "mouse";
}

bool ParseSimulateList(std::string_view value, SimulateSelection& selection, std::string& error) {
  SimulateSelection parsed;
  if (value.empty()) {
    selection = {true, true, true};
    return true;
  }
  size_t start = 0;
  for (;;) {
    const size_t comma = value.find(',', start);
    std::string_view name = value.substr(start, comma == std::string_view::npos ? value.npos : comma - start);
    constexpr std::string_view kKeyboardWithId = "keyboard:";
    if (name.substr(0, kKeyboardWithId.size()) == kKeyboardWithId) {
      const std::string_view id = name.substr(kKeyboardWithId.size());
      unsigned value_id = 0;
      const auto [end, ec] = std::from_chars(id.data(), id.data() + id.size(), value_id, 16);
      if (ec != std::errc() || end != id.data() + id.size() ||
          (value_id != kKeyboardProductId && value_id != kKeyboardProductIdFull && value_id != kKeyboardProductIdV16)) {
        error = "--simulate: unknown keyboard product id \"" + std::string(id) + "\" (use 6556, 8611 or 7200)";
        return false;
      }
      parsed.keyboard_product_id = static_cast<uint16_t>(value_id);
      name = name.substr(0, kKeyboardWithId.size() - 1);
    }
    bool* flag = Flag(parsed, name);
    if (name.empty()) {
      error = "--simulate: empty device name in \"" + std::string(value) + "\"";
      return false;
    }
    if (flag == nullptr) {
      error = "--simulate: unknown device \"" + std::string(name) + "\" (use mouse, keyboard, pad)";
      return false;
    }
    if (*flag) {
      error = "--simulate: \"" + std::string(name) + "\" given twice";
      return false;
    }
    *flag = true;
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  selection = parsed;
  return true;
}

SimulatedDevices::SimulatedDevices(const SimulateSelection& selection, std::string state_folder)
    : selection_(selection), state_folder_(std::move(state_folder)) {
  if (!tree_.Valid()) return;
  backend_ = tree_.MakeBackend();
  valid_ = true;
  for (SimKind kind : kAllKinds) {
    if (selection_.Has(kind))
      firmware_[Slot(kind)] =
          std::make_shared<SimFirmware>(kind, kind == SimKind::Keyboard ? selection_.keyboard_product_id : uint16_t{0});
  }
  LoadState();
  for (SimKind kind : kAllKinds) {
    if (selection_.Has(kind) && !Plug(kind)) valid_ = false;
  }
}

SimulatedDevices::~SimulatedDevices() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    for (auto& attachment : attachments_) attachment.reset();
  }
  if (!SaveState()) DebugLine("simulated devices: state not saved");
}

std::string SimulatedDevices::StatePath(SimKind kind) const {
  return state_folder_ + "/" + SimKindName(kind) + ".mem";
}

void SimulatedDevices::LoadState() {
  if (state_folder_.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(state_folder_, ec);
  if (ec) state_warning_ = "cannot create the state folder " + state_folder_ + ": " + ec.message();
  for (SimKind kind : kAllKinds) {
    if (!firmware_[Slot(kind)]) continue;
    std::ifstream in(StatePath(kind), std::ios::binary);
    if (!in) continue;  // a first run: factory memory
    std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!firmware_[Slot(kind)]->LoadMemory(image)) {
      state_warning_ = StatePath(kind) + " is not a memory image of the simulated " + SimKindName(kind) +
                       "; starting from factory memory";
      DebugLine(state_warning_);
    }
  }
}

bool SimulatedDevices::SaveState() {
  if (state_folder_.empty()) return true;
  bool ok = true;
  for (SimKind kind : kAllKinds) {
    if (!firmware_[Slot(kind)]) continue;
    const std::vector<uint8_t> image = firmware_[Slot(kind)]->SaveMemory();
    if (!WriteFileAtomic(StatePath(kind), image.data(), image.size())) ok = false;
  }
  return ok;
}

void SimulatedDevices::Install() { SetDefaultHidBackend(backend_); }

bool SimulatedDevices::Plug(SimKind kind) {
  if (!selection_.Has(kind) || !tree_.Valid()) return false;
  std::lock_guard<std::mutex> guard(mutex_);
  auto& attachment = attachments_[Slot(kind)];
  if (attachment && attachment->Plugged()) return false;
  attachment.reset();
  auto fresh = std::make_unique<HidrawSimAttachment>(tree_, firmware_[Slot(kind)]);
  if (!fresh->Valid()) return false;
  attachment = std::move(fresh);
  return true;
}

bool SimulatedDevices::Unplug(SimKind kind) {
  if (!selection_.Has(kind)) return false;
  std::lock_guard<std::mutex> guard(mutex_);
  auto& attachment = attachments_[Slot(kind)];
  if (!attachment || !attachment->Plugged()) return false;
  attachment->Unplug();
  return true;
}

bool SimulatedDevices::IsPlugged(SimKind kind) const {
  std::lock_guard<std::mutex> guard(mutex_);
  const auto& attachment = attachments_[Slot(kind)];
  return attachment && attachment->Plugged();
}

bool SimulatedDevices::PressProfileButton(SimKind kind) {
  if (!IsPlugged(kind)) return false;
  firmware_[Slot(kind)]->PressProfileButton();
  return true;
}

bool SimulatedDevices::PressDpiButton(SimKind kind) {
  if (!IsPlugged(kind)) return false;
  firmware_[Slot(kind)]->PressDpiButton();
  return true;
}

std::shared_ptr<SimFirmware> SimulatedDevices::Firmware(SimKind kind) const { return firmware_[Slot(kind)]; }

}  // namespace trx::sim
