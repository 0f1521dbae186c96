#pragma once
// Simulated devices for running the program without the hardware
// (--simulate[=mouse,keyboard,pad]).
//
// SimulatedDevices builds a fake hidraw tree (sim/hidraw_fake_tree.h),
// attaches a firmware model to it for each chosen device (a vendor and a
// consumer interface each, sim/hidraw_attach.h) and makes that tree the
// process-wide default HID backend, so that the presence threads find the
// simulated devices through the same enumeration, open and probe code as
// real ones. The devices can be unplugged and plugged again (the firmware
// keeps its memory across), and their onboard-profile and DPI buttons
// pressed (the firmware changes its memory and sends the consumer
// notifications 0x401 and 0x402).
//
// Thread safety: construct and Install() at start-up, before any device
// channel or CHidDevice is created (they take the default backend when they
// are constructed). Plug/Unplug/Press*/IsPlugged may then be called from any
// thread (in the program: the UI thread, from the tray menu); they are
// serialised by an internal mutex. Destroy after the threads that use the
// devices have stopped.

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "device/hid_backend.h"
#include "sim/firmware_model.h"
#include "sim/hidraw_attach.h"
#include "sim/hidraw_fake_tree.h"

namespace trx::sim {

// Which devices to simulate.
struct SimulateSelection {
  bool mouse = false;
  bool keyboard = false;
  bool pad = false;
  uint16_t keyboard_product_id = 0;  // 0: the keyboard's default product id
  bool Has(SimKind kind) const;
};

// Parses the value of --simulate: empty (no "=list") gives all three;
// otherwise a comma-separated list of "mouse", "keyboard", "pad" (each at
// most once, no empty items). "keyboard:8611" (or 6556, 7200: the
// keyboard's product ids in hex) simulates that keyboard layout variant. False with a one-line message in `error` for
// anything else.
bool ParseSimulateList(std::string_view value, SimulateSelection& selection, std::string& error);

// The name used in the list and the tray menu: "mouse", "keyboard", "pad".
const char* SimKindName(SimKind kind);

class SimulatedDevices {
 public:
  // Creates the tree and plugs in every selected device. Valid() is false
  // when the tree or an attachment could not be created.
  //
  // With a state folder, each device's memory is read from
  // "<folder>/<kind>.mem" when that file exists (a file that is no memory
  // image of that device is ignored with a warning) and written back
  // atomically by SaveState and when the devices go, so a simulated device
  // remembers what was written to it between runs, as a real one does.
  explicit SimulatedDevices(const SimulateSelection& selection, std::string state_folder = {});
  ~SimulatedDevices();
  SimulatedDevices(const SimulatedDevices&) = delete;
  SimulatedDevices& operator=(const SimulatedDevices&) = delete;

  bool Valid() const { return valid_; }
  const SimulateSelection& Selection() const { return selection_; }
  // A backend reading the simulated tree.
  std::shared_ptr<IHidBackend> Backend() const { return backend_; }
  // Makes Backend() the process-wide default (SetDefaultHidBackend).
  void Install();

  // Plugs a selected device in (again). False when it is not selected, is
  // already plugged in, or its interfaces could not be created.
  bool Plug(SimKind kind);
  // Unplugs it. False when not selected or not plugged in.
  bool Unplug(SimKind kind);
  bool IsPlugged(SimKind kind) const;
  // The device's buttons; false (nothing happens) when it is not plugged in.
  bool PressProfileButton(SimKind kind);
  bool PressDpiButton(SimKind kind);
  // Writes every selected device's memory into the state folder. True when
  // there is no folder or every file was written.
  bool SaveState();
  // What went wrong reading the state folder ("" when nothing did).
  const std::string& StateWarning() const { return state_warning_; }
  // The firmware model of a selected device (null otherwise).
  std::shared_ptr<SimFirmware> Firmware(SimKind kind) const;

 private:
  static size_t Slot(SimKind kind) { return static_cast<size_t>(kind); }

  std::string StatePath(SimKind kind) const;
  void LoadState();

  SimulateSelection selection_;
  std::string state_folder_;
  std::string state_warning_;
  bool valid_ = false;
  FakeHidrawTree tree_;
  std::shared_ptr<IHidBackend> backend_;
  // Guards attachments_ (and so the tree's entries).
  mutable std::mutex mutex_;
  std::array<std::shared_ptr<SimFirmware>, 3> firmware_;
  std::array<std::unique_ptr<HidrawSimAttachment>, 3> attachments_;
};

}  // namespace trx::sim
