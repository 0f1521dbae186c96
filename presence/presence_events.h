#pragma once
// What the presence threads report to their host: a device connected (with
// what its read found), a device left (with the removal rules' decision),
// and the plain records those reports carry. No control names: the host's
// page layer decides which tabs, combos and pages change.

#include <optional>

#include "device/device_channel.h"

namespace trx {

// The result of a device read routine (presence/device_reads.h).
enum class ReadOutcome {
  kReadComplete,
  kReadIncomplete,
  kReadSaveFailed,
  kReadKeyboardBlockTooLarge,
};

struct ConnectResult {
  ReadOutcome read = ReadOutcome::kReadComplete;
  int device_profile = 0;  // mouse: "select" of the device profiles
  int light_profile = 0;   // keyboard, pad: "select" of the light profiles
  int key_profile = 0;     // keyboard: "select" of the key profiles
  // The device (light, key) profile is the first run's, made from the
  // defaults and never filled by a device (profile/new_profiles.h): a whole
  // read filled it now, and the arrival shows it without applying it.
  bool device_profile_new = false;
  bool light_profile_new = false;
  bool key_profile_new = false;
};

// The removal rules' decision when device `gone` left:
//   gone      others connected       select        show_selected  notice  hide
//   mouse     keyboard               keyboard      yes            -       -
//   mouse     pad only               pad           -              -       -
//   mouse     none                   -             -              yes     -
//   keyboard  mouse                  mouse         -              -       -
//   keyboard  pad only               pad           -              -       -
//   keyboard  none                   -             -              -       yes
//   pad       keyboard               keyboard      -              -       -
//   pad       mouse only             mouse         -              -       -
//   pad       none                   -             -              -       yes
// The gone device's tab is hidden in every case. "notice" posts the "all
// devices gone" message (0x0C05), whose handler shows the self-closing
// notice and then hides the window.
struct RemovalPlan {
  DeviceKind gone = DeviceKind::Mouse;
  std::optional<DeviceKind> select;  // whose tab is selected next
  bool show_selected = false;        // that tab is also made visible
  bool all_gone_notice = false;
  bool hide_window = false;
};

RemovalPlan PlanRemoval(DeviceKind gone, bool mouse, bool keyboard, bool pad);

}  // namespace trx
