#pragma once
// The program in front on the Wayland desktops that don't let a client ask:
// a script running inside the compositor reports the active window's pid
// to this program over the session bus.
//
//   bus name, object, interface  org.trx770.Foreground, /org/trx770/Foreground,
//                                org.trx770.Foreground
//   method                       ActiveProcess(s pid)  the pid in decimal,
//                                                      "0": no window active
//
// KDE Plasma: a KWin script (packaging/kwin/trx770-foreground), which Start
// writes to the user's KWin scripts folder and loads through KWin's
// Scripting interface; Stop unloads it. GNOME: the Shell extension
// trx770-foreground@trx770.org (gnome_extension.h), which the user enables
// once; Start asks GNOME Shell for its version and the extension's state,
// writes the form that shell loads to the user's folder when the shell
// does not run it, and names the state when it is not running
// (kReasonGnome...).
//
// When Start fails only because the desktop's part is missing, the receiver
// keeps running and the source watches the bus (CanStartLater): the
// compositor's name getting an owner, GNOME Shell's ExtensionStateChanged
// and a first report each make StartWhenAvailable look again, as does a
// quiet minute (kDesktopRecheckMs; every 2 s for 30 s after a change, as
// while a compositor starts).
//
// CDbusForegroundReceiver is the receiving end alone (tests talk to it on a
// private bus). It owns its bus connection and a thread running a GLib main
// context of its own, where the method calls are handled. It takes a report
// only from the current owner of the bus name it expects (KWin's
// "org.kde.KWin", GNOME Shell's "org.gnome.Shell"): any other program on
// the session bus gets org.freedesktop.DBus.Error.AccessDenied, so it can't
// make the program select a linked profile.
//
// Threads: Start/Stop on one thread; the readers on any.

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "platform/foreground/foreground_source.h"
#include "platform/foreground/process_identity.h"

namespace trx::foreground {

inline constexpr const char* kForegroundBusName = "org.trx770.Foreground";
inline constexpr const char* kForegroundObjectPath = "/org/trx770/Foreground";
inline constexpr const char* kForegroundInterface = "org.trx770.Foreground";
inline constexpr const char* kKWinScriptName = "trx770-foreground";
// The name the script is loaded under: not its package's id, which KWin
// unloads whenever it (re)starts its scripts and finds the package not
// enabled in kwinrc.
inline constexpr const char* kKWinLoadedName = "trx770-foreground-running";
inline constexpr const char* kGnomeExtensionUuid = "trx770-foreground@trx770.org";
inline constexpr const char* kKWinBusName = "org.kde.KWin";
inline constexpr const char* kGnomeShellBusName = "org.gnome.Shell";

class CDbusForegroundReceiver {
 public:
  // reporter: the bus name whose owner may report; bus_address empty: the
  // session bus.
  explicit CDbusForegroundReceiver(std::string reporter, std::string bus_address = {});
  ~CDbusForegroundReceiver();
  CDbusForegroundReceiver(const CDbusForegroundReceiver&) = delete;
  CDbusForegroundReceiver& operator=(const CDbusForegroundReceiver&) = delete;

  // Connects, serves the object and takes the bus name. False (and *error)
  // when the bus can't be reached or another process has the name.
  bool Start(std::string* error);
  void Stop();
  // The last pid reported: -1 none yet, 0 no window active.
  int ReportedPid() const { return pid_.load(); }
  int Reports() const { return reports_.load(); }
  // The connection (GDBusConnection*), for calls to the compositor; null
  // when not started.
  void* Connection() const;
  // Records a report (the bus thread's method handler).
  void Report(int pid);
  // True when `sender` (a unique name) owns the reporter's name now. Bus thread.
  bool FromReporter(const char* sender) const;
  int Refused() const { return refused_.load(); }
  // Waits for the next report (IForegroundSource::WaitForChange).
  bool WaitForReport(CEvent& stop, int timeout_ms) { return changes_.Wait(stop, timeout_ms); }
  uint64_t ReportGeneration() { return changes_.Generation(); }
  void Poke() { changes_.Changed(); }  // wakes the report waiters
  bool WaitForReportSince(uint64_t seen, CEvent& stop, int timeout_ms) { return changes_.WaitSince(seen, stop, timeout_ms); }
  void CountRefusal() { ++refused_; }
  // From Start on, the reporter's name getting a new owner and, for GNOME
  // Shell, its ExtensionStateChanged (and each report) wake WaitForDesktop.
  void DesktopChanged() { desktop_changes_.Changed(); }
  uint64_t DesktopGeneration() { return desktop_changes_.Generation(); }
  bool WaitForDesktop(uint64_t seen, CEvent& stop, int timeout_ms) { return desktop_changes_.WaitSince(seen, stop, timeout_ms); }

 private:
  struct GState;
  std::string reporter_;
  std::string address_;
  std::unique_ptr<GState> g_;
  std::thread loop_thread_;
  std::atomic<int> pid_{-1};
  std::atomic<int> reports_{0};
  std::atomic<int> refused_{0};
  CForegroundChanges changes_;
  CForegroundChanges desktop_changes_;
};

enum class ReportingDesktop { KWin, Gnome };
inline constexpr int kDesktopRecheckMs = 60000;
// After a change on the bus, up to kDesktopStartingRechecks looks at this
// cadence (a compositor serves its objects a moment after taking its name).
inline constexpr int kDesktopStartingRecheckMs = 2000;
inline constexpr int kDesktopStartingRechecks = 15;

class CDbusForegroundSource : public IForegroundSource {
 public:
  explicit CDbusForegroundSource(ReportingDesktop desktop, std::string bus_address = {},
                                 std::string proc_root = kProcRoot);
  ~CDbusForegroundSource() override;

  const char* Name() const override { return desktop_ == ReportingDesktop::KWin ? "kwin" : "gnome"; }
  bool Start(ForegroundUnavailable* why) override;
  void Stop() override;
  ForegroundResult Current() override;
  bool WaitForChange(CEvent& stop, int timeout_ms) override { return receiver_.WaitForReport(stop, timeout_ms); }
  uint64_t ChangesHeard() override { return receiver_.ReportGeneration(); }
  void Poke() override { receiver_.Poke(); }
  bool WaitForChangeSince(uint64_t seen, CEvent& stop, int timeout_ms) override {
    return receiver_.WaitForReportSince(seen, stop, timeout_ms);
  }
  bool CanStartLater() const override { return watching_; }
  bool StartWhenAvailable(CEvent& stop, const std::function<void(const ForegroundUnavailable&)>& still_off) override;
  bool HearsChanges() const override { return true; }

 private:
  // True when the desktop's part runs; else *off says why.
  bool DesktopReady(ForegroundUnavailable* off);
  bool LoadKWinScript(std::string* error);
  void UnloadKWinScript();
  bool GnomeExtensionRuns(ForegroundUnavailable* off);

  ReportingDesktop desktop_;
  std::string proc_root_;
  CDbusForegroundReceiver receiver_;
  std::atomic<bool> started_{false};
  bool watching_ = false;  // the receiver runs, the desktop's part not yet
  uint64_t desktop_seen_ = 0;  // the receiver's desktop changes looked at
};

// $XDG_DATA_HOME, else $HOME/.local/share.
std::string UserDataHome();

// Writes the KWin script's files under `data_home`/kwin/scripts/ (the
// user's $XDG_DATA_HOME, ~/.local/share by default); the path of its
// main.js, or empty when it could not be written.
std::string InstallKWinScript(const std::string& data_home);

}  // namespace trx::foreground
