#pragma once
// The GDBus set-up that every service of the program on a message bus
// shares: a private connection to the bus, owning a well-known name, and a
// main context of its own run by a loop thread (calls to objects
// registered while that context is the thread default are dispatched on
// that thread).
//
// Thread: OpenBusConnection, RequestName and the loop functions are called
// by the service's owner (start and stop); QuitLoop may be called while the
// loop thread runs.

#include <gio/gio.h>

#include <string>
#include <thread>

namespace trx::gdbus {

// The message of `error` (freed); "unknown error" for null.
std::string TakeError(GError* error);

// A private connection to the message bus at `address` ("" for the
// session bus), not ending the process when it closes. Null with *error.
GDBusConnection* OpenBusConnection(const std::string& address, std::string* error);

enum class NameRequest {
  Owned,   // this connection is the name's primary owner
  Taken,   // another connection owns it (not queued)
  Failed,  // the call failed: *error says why
};
NameRequest RequestName(GDBusConnection* bus, const char* name, int timeout_ms, std::string* error);

// A main context and its loop, run by a thread of their own.
struct Loop {
  GMainContext* context = nullptr;
  GMainLoop* loop = nullptr;
};
Loop NewLoop();
// Runs `fn` with the loop's context as the thread default, so objects it
// registers are served on the loop thread.
template <typename Fn>
auto WithLoopContext(const Loop& l, Fn&& fn) {
  struct Pop {
    GMainContext* c;
    ~Pop() { g_main_context_pop_thread_default(c); }
  } pop{l.context};
  g_main_context_push_thread_default(l.context);
  return fn();
}
// The thread that runs the loop until QuitLoop.
std::thread RunLoop(const Loop& l);
// Quits from inside the loop (a quit made before the thread has entered
// the loop would be lost and the join would never return).
void QuitLoop(const Loop& l);
// After the loop thread ended and the connection closed: lets the calls
// still queued for the context go, then frees the loop and the context.
void FreeLoop(Loop& l);

}  // namespace trx::gdbus
