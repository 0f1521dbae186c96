#pragma once
// Switching the mouse's active onboard profile, and the two profile saves
// that every lighting or performance change ends with.
//
// Thread: any thread that may use the mouse channel (the UI thread for the
// onboard profile buttons, the command-line tool's main thread).

#include "device/commands.h"
#include "device/device_channel.h"
#include "settings/settings_host.h"

namespace trx {

// Results of SwitchOnboardProfile. A failed exchange passes its command
// result through (0, -1, -102, -103: see device/commands.h).
enum class OnboardSwitchResult : int {
  Done = 1,                 // switched to k
  AlreadyActive = 2,        // k was active: only the 1-byte read went out
  NoReply = 0,
  WriteFailed = -1,
  StatusFF = -102,
  StatusFE = -103,
  RequestOutOfRange = -201, // k not 0-4: nothing sent
  DeviceIndexInvalid = -202 // the device reports an active index of 5 or more
};
// Short names of the same values.
inline constexpr OnboardSwitchResult kSwitchDone = OnboardSwitchResult::Done;
inline constexpr OnboardSwitchResult kSwitchAlreadyActive = OnboardSwitchResult::AlreadyActive;
inline constexpr OnboardSwitchResult kSwitchBadIndex = OnboardSwitchResult::RequestOutOfRange;
inline constexpr OnboardSwitchResult kSwitchDeviceIndexInvalid = OnboardSwitchResult::DeviceIndexInvalid;

// The switch result of a failed command (the same value).
constexpr OnboardSwitchResult SwitchResultOf(CommandResult failed) {
  return static_cast<OnboardSwitchResult>(static_cast<int>(failed));
}

// A short English description of a switch result, for logs and the
// command-line tool.
const char* OnboardSwitchResultName(OnboardSwitchResult result);

// Makes onboard profile k (0-4) the mouse's active one:
//  1. read the device's active index a (1 byte at address 0);
//  2. a == k: stop;
//  3. store the current record into slot a;
//  4. write k to address 0;
//  5. read slot k (56 bytes at k * 64);
//  6. make slot k the current record;
//  7. hide the button-function panel and refresh the mouse pages.
// When the active index can't be read, or is 5 or more, nothing changes
// (the image stays as it was, nothing is written to the device) and the
// read's code or kSwitchDeviceIndexInvalid comes back. A failed write of k also stops
// before the image changes any further. A failed read of slot k leaves the
// slot's old bytes, which then become current (as any failed read does).
// Holds the channel lock for the whole sequence, so a presence thread's
// cycle can't interleave with it.
OnboardSwitchResult SwitchOnboardProfile(CDeviceChannel& mouse, int k);

// Saves the mouse's selected light profile and selected device profile
// through the installed profile saver (each save copies the current record,
// pointer speed and wheel lines into settings slot 0 first). Returns Saved
// when both were written (or no saver is installed), else the first failure.
ProfileSaveResult SaveLightAndDeviceProfile();

}  // namespace trx
