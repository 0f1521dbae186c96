#pragma once
// A kernel event object with the semantics of a Win32 event, built on an
// eventfd so that it can be waited on together with device descriptors in
// one poll().
//
// Thread safety: every operation may be called from any thread at any time
// while the object lives.

#include <chrono>

namespace trx {

class CEvent {
 public:
  enum class Reset { Auto, Manual };

  // Creates the event not signalled. A failure to create the descriptor
  // leaves Valid() false; Set/Wait on such an event do nothing / time out.
  explicit CEvent(Reset mode = Reset::Auto);
  ~CEvent();
  CEvent(const CEvent&) = delete;
  CEvent& operator=(const CEvent&) = delete;

  bool Valid() const { return fd_ >= 0; }
  // Signals the event; wakes every poll() on Fd().
  void Set();
  // Clears the signal.
  void ResetEvent();
  // True when signalled now. An auto-reset event is consumed by this call.
  bool TryConsume();
  // True when signalled now, without consuming (for either mode).
  bool IsSet() const;
  // Waits up to timeout_ms (negative: forever). Returns true when the event
  // was signalled (and, for an auto-reset event, consumes the signal).
  bool Wait(int timeout_ms);

  // The pollable descriptor: readable (POLLIN) while signalled.
  int Fd() const { return fd_; }
  Reset Mode() const { return mode_; }

 private:
  int fd_ = -1;
  Reset mode_;
};

}  // namespace trx
