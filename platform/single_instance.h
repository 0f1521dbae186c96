#pragma once
// One running copy per user session.
//
// The first copy holds an exclusive lock on "<runtime>/TARVOXDRVER.lock" and
// listens on the local socket "<runtime>/KORVANTE_001.sock". A later copy
// fails to take the lock, connects to the socket and writes one wake-up
// line; the first copy's listener thread calls the wake-up callback (which
// posts the instance message to the main window) and answers "awake\n" on
// the same connection. Only that answer makes the later copy Woken.
//
// A copy that is closing must not take wake-ups it will never act on:
// StopListening, its first step of closing, makes it answer none and close
// the socket, while it keeps the lock until Release (after its last file is
// written). A later copy that is refused, or gets no answer, waits for the
// lock instead (polling every 50 ms, at most `owner_wait_ms`) and, once it
// has it, runs as the first copy; only when the lock stays held that long
// does it report NotWoken.
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
// Thread safety: Acquire and Release on one thread (the entry point);
// StopListening on any thread until Release; the callback runs on the
// listener thread (while no wake-up is answered or stopped).

#include <functional>
#include <mutex>
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
    Woken,      // another copy runs and answered the wake-up
    NotWoken,   // another copy kept the lock for `owner_wait_ms` without answering
    Failed,     // no lock could be created at all: run as the first copy without one
  };

  // How long a later copy waits for an owner that does not answer to leave.
  static constexpr int kOwnerWaitMs = 5000;

  // `lock_name` and `socket_name` are the bare names ("TARVOXDRVER",
  // "KORVANTE_001"); `folder` overrides <runtime> (tests).
  SingleInstance(std::string lock_name, std::string socket_name, std::string folder = {},
                 int owner_wait_ms = kOwnerWaitMs);
  ~SingleInstance();  // Release()
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock or wakes the owner; blocks up to `owner_wait_ms` (plus
  // one answer's wait) when the owner does not answer. `on_wake` runs on
  // the listener thread each time a later copy starts (only when First).
  Result Acquire(std::function<void()> on_wake);
  // From now on no wake-up is answered or passed to `on_wake`; the socket
  // is closed and its file removed soon after (on the listener thread). The
  // lock stays held. Idempotent; before Acquire it keeps a First copy from
  // listening at all.
  void StopListening();
  // Stops listening, removes the socket file and drops the lock.
  void Release();

  const std::string& LockPath() const { return lock_path_; }
  const std::string& SocketPath() const { return socket_path_; }

  // The folder for the lock and socket; empty (after a line on stderr) when
  // the fallback folder is not private to this user.
  static std::string RuntimeFolder();

 private:
  enum class Answer { Awake, Unanswered, Unreachable };
  Answer WakeOwner(int answer_wait_ms);
  bool Listen();
  void ListenLoop(int stop_fd);
  void TakeWakeUp(int client, int stop_fd);

  std::string lock_path_;
  std::string socket_path_;
  int owner_wait_ms_;
  int lock_fd_ = -1;
  int listen_fd_ = -1;  // the listener thread's while it runs
  std::thread listener_;
  std::function<void()> on_wake_;
  // Guards stopped_ and stop_fd_. Held while a wake-up is taken (the
  // callback runs and the answer is sent), so none is answered once
  // StopListening has returned. Lock order: wake_mutex_, then the token's
  // and whatever the callback takes.
  std::mutex wake_mutex_;
  bool stopped_ = false;
  int stop_fd_ = -1;  // eventfd ending the listener
};

}  // namespace trx
