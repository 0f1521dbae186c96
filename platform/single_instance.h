#pragma once
// One running copy per user session.
//
// The first copy holds an exclusive lock on "<runtime>/TARVOXDRVER.lock" and
// listens on the local socket "<runtime>/KORVANTE_001.sock". A later copy
// fails to take the lock, connects to the socket, writes one wake-up line and
// returns; the first copy's listener thread then calls the wake-up callback
// (which posts the instance message to the main window).
//
// The wake-up line may be followed by "token=<t>\n": the later copy's
// activation token (XDG_ACTIVATION_TOKEN, else DESKTOP_STARTUP_ID, given
// by the launcher), which lets the first copy raise its window on a
// Wayland session; it is kept for TakeActivationToken.
//
// <runtime> is $XDG_RUNTIME_DIR, or the temporary folder ($TMPDIR, else /tmp)
// with a per-user subfolder "trx770-<uid>", created with mode 0700. Since
// anyone can create that name first, it is used only when it is a real
// folder owned by this user with no group or other access; otherwise the
// reason goes to stderr and Acquire reports Failed (the program then runs
// without single-instance protection rather than believing a stranger's
// lock). A copy that crashed leaves nothing that blocks
// the next start: the kernel drops its lock with the process, and the new
// owner removes a leftover socket file before binding its own.
//
// Thread safety: Acquire and Release on one thread (the entry point); the
// callback runs on the listener thread.

#include <functional>
#include <string>
#include <thread>

namespace trx {

// The activation token of the last wake-up ("" when none or taken).
// Any thread.
std::string TakeActivationToken();

class SingleInstance {
 public:
  enum class Result {
    First,      // this copy owns the lock and listens
    Woken,      // another copy runs and was sent the wake-up
    NotWoken,   // another copy holds the lock but could not be reached
    Failed,     // no lock could be created at all: run as the first copy without one
  };

  // `lock_name` and `socket_name` are the bare names ("TARVOXDRVER",
  // "KORVANTE_001"); `folder` overrides <runtime> (tests).
  SingleInstance(std::string lock_name, std::string socket_name, std::string folder = {});
  ~SingleInstance();  // Release()
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock or wakes the owner. `on_wake` runs on the listener thread
  // each time a later copy starts (only when First).
  Result Acquire(std::function<void()> on_wake);
  // Stops listening, removes the socket file and drops the lock.
  void Release();

  const std::string& LockPath() const { return lock_path_; }
  const std::string& SocketPath() const { return socket_path_; }

  // The folder for the lock and socket; empty (after a line on stderr) when
  // the fallback folder is not private to this user.
  static std::string RuntimeFolder();

 private:
  bool WakeOwner();
  bool Listen();
  void ListenLoop();

  std::string lock_path_;
  std::string socket_path_;
  int lock_fd_ = -1;
  int listen_fd_ = -1;
  int stop_fd_ = -1;  // eventfd ending the listener
  std::thread listener_;
  std::function<void()> on_wake_;
};

}  // namespace trx
