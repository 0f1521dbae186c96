#pragma once
// What the settings code needs from the rest of the program, as small
// interfaces: the main window (settings-pending flags, page refresh) and the
// profile store (saving the selected profiles). Each is installed once at
// start-up; until then the calls do nothing.
//
// Thread safety: install before the worker threads start. The calls run on
// the calling thread; implementations marshal to the UI thread if needed.

#include "device/device_channel.h"

namespace trx {

enum class ProfileFamily : uint8_t { Device = 0, Light = 1, Key = 2 };

class ISettingsHost {
 public:
  virtual ~ISettingsHost() = default;
  // Sets the device's settings-pending flag; the next tick of the apply
  // timer sends its current record and clears the flag.
  virtual void MarkSettingsPending(DeviceKind kind) = 0;
  // Hides the button-function panel ("ms_tab_function").
  virtual void HideMouseFunctionPanel() = 0;
  // Puts the mouse's current record on the mouse pages.
  virtual void RefreshMousePages() = 0;
};

// How a save of a family's selected profile file ended.
enum class ProfileSaveResult : int {
  Saved = 0,          // written (or already holding these bytes)
  Failed = 1,         // the file could not be written, or its name is not a file name
  NoSuchFamily = -1,  // the device has no such profile family
};

class IProfileSaver {
 public:
  virtual ~IProfileSaver() = default;
  // Writes the family's selected profile file from the image.
  virtual ProfileSaveResult SaveCurrentProfile(DeviceKind kind, ProfileFamily family) = 0;
};

void SetSettingsHost(ISettingsHost* host);
ISettingsHost* SettingsHost();
void SetProfileSaver(IProfileSaver* saver);
IProfileSaver* ProfileSaver();

// Sets the mouse's settings-pending flag through the host.
void MarkSettingsPending(DeviceKind kind = DeviceKind::Mouse);

}  // namespace trx
