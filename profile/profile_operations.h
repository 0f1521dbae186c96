#pragma once
// The profile operations of every family (mouse device, light and key
// profiles; keyboard light and key profiles; mouse pad light profiles),
// without controls: add, delete, copy, rename, import, export, restore
// default and select. They act on the device's INI index, the profile
// files, the configuration image and the device; the profile bar and
// trx770ctl drive them and show the results.
//
// The INI index is the list: a family's profiles are its names 0 .. count-1
// in index order (the profile combo shows the same list). Names are
// compared ignoring ASCII case and checked as file names
// (profile/profile_names.h) before anything is written.
//
// Threads: every operation except SelectProfile and RestoreDefaultProfile
// touches only files and may run on any one thread at a time (the UI thread
// in the program, the tool's thread in trx770ctl). SelectProfile and
// RestoreDefaultProfile may run on any thread (the UI thread, the device
// operation worker, a detection or program-monitor thread): they take
// ImageMutex() only to copy the image in or out, talk to the device through
// its channel (whose lock each command takes) with the image mutex NOT
// held, and reach controls only through IProfileSelectTarget, whose
// implementation posts to the UI thread.

#include <string>
#include <vector>

#include "device/device_channel.h"
#include "profile/profile_families.h"

namespace trx {

// Results of the operations. 1 and -1 keep the numbers of the profile file
// reads (ProfileReadResult).
enum class ProfileOpResult : int {
  Ok = 0,
  FileMissing = 1,      // a profile or default file is missing or can't be opened ("message_text_8")
  FileBad = -1,         // a profile or default file lacks the 0x55AA magic ("message_text_9")
  OnlyOneProfile = 2,   // delete with one profile left ("message_text_11")
  EmptyName = 3,        // rename to an empty name ("message_text_14")
  DuplicateName = 4,    // the name is taken in the family, any case ("message_text_15")
  BadName = 5,          // the name can't be a file name (ProfileNameProblem)
  NoSuchProfile = 6,    // index outside the list, or no profile of that name
  NoSuchFamily = 7,     // the device has no such family
  WriteFailed = 8,      // a profile file or the INI index could not be written
  ImportRefused = 9,    // the file to import has a wrong header, kind or size
  DeviceFailed = 10,    // a device command failed during select: nothing changed
};

const char* ProfileOpResultName(ProfileOpResult result);
// The names of the family's profiles, index 0 .. count-1 ("0" where a name
// is missing; an absurd count is cut where the names end, as at start).
std::vector<std::string> ProfileNames(const ProfileFamilyInfo& info);
// Index of `name` in the list: an exact match first, else one ignoring
// case; -1 when none.
int FindProfile(const ProfileFamilyInfo& info, const std::string& name);

// "profile%d" with 1, 2, 3 ... until no name in the list equals it ignoring
// case.
std::string NextProfileName(const std::vector<std::string>& names);
// "%s copy" applied to `source` until no name in the list equals it
// ignoring case.
std::string CopyProfileName(const std::vector<std::string>& names, const std::string& source);

// Where an operation left the list.
struct ProfileOpOutcome {
  ProfileOpResult result = ProfileOpResult::Ok;
  int index = -1;      // the profile made or acted on (select it next)
  std::string name;    // its name
  std::string detail;  // one English line: which file or name, and why
};

// Add: appends "profileN" to the index (count, name, link flag "0", linked
// program " "), removes an old file of that name, then writes the new file
// from the family's default file (the keyboard's by its layout variant).
// A missing or bad default file gives FileMissing/FileBad with the index
// entries kept (the profile exists; its file does not).
ProfileOpOutcome AddProfile(DeviceKind kind, ProfileFamily family);

// Delete profile `index`: refused with OnlyOneProfile when it is the only
// one. Removes its file, rewrites the names from `index` on one down, moves
// the link flags and linked programs of the later profiles down one index
// (entries past the new count stay in the file), and makes the last profile
// the selected one: "select" := count - 1 and its file loaded into the
// image, so the image never holds the deleted profile under another
// profile's name. outcome.index is that last profile: select it next (the
// device writes and the controls).
ProfileOpOutcome DeleteProfile(DeviceKind kind, ProfileFamily family, int index);

// Copy profile `index` to "<name> copy" (" copy" repeated until free):
// reads the source file first (FileMissing/FileBad stop with nothing
// written), writes the new file, then appends it to the index with link
// flag "0" and linked program " " (a copy never inherits the link of a
// profile deleted before it).
ProfileOpOutcome CopyProfile(DeviceKind kind, ProfileFamily family, int index);

// Rename profile `index` to `new_name`: EmptyName, BadName, DuplicateName
// (any profile of the family, itself included, in any case) refuse it.
// The old file is read first (FileMissing/FileBad: nothing changes), then
// written under the new name, then the index entry is renamed and the old
// file removed.
ProfileOpOutcome RenameProfile(DeviceKind kind, ProfileFamily family, int index, const std::string& new_name);

// The checks of a file to import: magic 0x55AA, the family's device kind in
// the header and exactly the family's size (16 + data). Ok with the data
// in `data`; FileMissing when it can't be read (also a FIFO, a device or a
// file larger than any profile: nothing blocks); ImportRefused with the
// reason in `detail` otherwise.
ProfileOpResult CheckImportFile(const ProfileFamilyInfo& info, const std::string& path, std::vector<uint8_t>& data,
                                std::string& detail);

// Import `path`: the file is checked first (CheckImportFile), and a refused
// file adds and changes nothing; the window and trx770ctl alike. Then a new
// profile is added and given the file's data. The file's bytes reach only
// the new profile's file; select outcome.index next to load it.
ProfileOpOutcome ImportProfile(DeviceKind kind, ProfileFamily family, const std::string& path);

// Export profile `index`: reads its file (FileMissing/FileBad) and writes
// its data to `path` with a fresh header of the device's kind.
ProfileOpOutcome ExportProfile(DeviceKind kind, ProfileFamily family, int index, const std::string& path);

// What a completed select or restore changed, for the controls.
struct ProfileSelection {
  DeviceKind kind = DeviceKind::Mouse;
  ProfileFamily family = ProfileFamily::Device;
  int index = 0;
  bool restored = false;     // RestoreDefaultProfile rather than SelectProfile
  int pointer_speed = 0;     // mouse device and light: 1-20 for the desktop; else 0
  int wheel_lines = 0;       // mouse device and light: 1-100; else 0
  bool linked = false;       // link flag[index] is 1
  std::string linked_program;
};

// Where a select reaches the rest of the program. Every method may be
// called on the selecting thread, with no lock held, and must not wait for
// the UI thread.
class IProfileSelectTarget {
 public:
  virtual ~IProfileSelectTarget() = default;
  // The device's channel; null when there is none (the tool without the
  // device). A channel that is not connected gets no commands.
  virtual CDeviceChannel* Channel(DeviceKind kind) = 0;
  // Sets the device's settings-pending flag (the timed send of the current
  // record).
  virtual void MarkSettingsPending(DeviceKind kind) = 0;
  // The image and the index show `selection`: put it on the controls (combo
  // selection without re-running select, link controls, the device's
  // pages, pointer speed and wheel lines applied to the desktop).
  virtual void ProfileSelected(const ProfileSelection& selection) = 0;
};

// Select profile `index` of the family (the combo's item selection, a
// device's arrival, a program-linked switch, trx770ctl profile select):
//  1. read the profile file (FileMissing/FileBad: nothing changes);
//  2. the device writes from a copy of the image with the profile loaded,
//     when the channel is connected: mouse device: Write settings bytes at
//     address 0 with the first 34 bytes of settings record 0, then Write key
//     block index 0 with key block 0; mouse key, keyboard key: Write key
//     block index 0. A failed command ends it with DeviceFailed and nothing
//     changed (image, index, files);
//  3. the profile into the image (ProfileData's load) under ImageMutex();
//     mouse device profiles keep the current record's bytes 14 (report rate)
//     and 19 (active DPI level) as they were;
//  4. "select" := index in the INI index (see SelectBy); the settings-pending flag of the
//     device for the mouse device and light and every light family;
//  5. target.ProfileSelected with the pointer speed and wheel lines (0 in
//     the file reaches the desktop as 1) and the link of the profile.
//  Who selects decides step 4: a user's select (the combo, trx770ctl) writes
//  "select" and makes the profile the one in effect; a program link's, or
//  a device's arrival putting back the profile in effect, only makes it
//  the profile in effect (the user's choice stays).
enum class SelectBy { User, Link };
ProfileOpResult SelectProfile(DeviceKind kind, ProfileFamily family, int index, IProfileSelectTarget& target,
                              SelectBy by = SelectBy::User);

// Restore default of the selected profile (NoSuchProfile when "select"
// names no profile of the list): reads the family's default file
// (FileMissing/FileBad: nothing changes), loads it into the image as a
// select does (mouse device: bytes 14 and 19 kept), saves it as the
// selected profile (mouse light: the device profile too), then marks the
// settings pending (mouse device and light, light families) and writes key
// block 0 (mouse device, mouse key, keyboard key). A failed command gives
// DeviceFailed (the files and the image hold the default already).
// target.ProfileSelected follows with restored = true.
ProfileOpResult RestoreDefaultProfile(DeviceKind kind, ProfileFamily family, IProfileSelectTarget& target);

}  // namespace trx
