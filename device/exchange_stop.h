#pragma once
// The calling thread's stop event, as seen by the report protocol.
//
// A worker thread names its stop event once (ScopedExchangeStop, for the
// whole life of its body); from then on every exchange it starts checks the
// event first and, when it is set, returns NoReply without sending.
// So a multi-command sequence (a connect read, a whole-block transfer of ten
// frames) ends between two exchanges once shutdown has begun, instead of
// waiting out 300 ms x 4 attempts for every frame of a silent device. An
// exchange already under way finishes (at most one write limit and one
// reply limit). Threads that never name an event (the UI thread) are never
// stopped this way.
//
// Thread safety: the setting is per thread; the event must outlive the scope.

#include "platform/event.h"

namespace trx {

class ScopedExchangeStop {
 public:
  explicit ScopedExchangeStop(const CEvent& stop);
  ~ScopedExchangeStop();  // restores the thread's previous event
  ScopedExchangeStop(const ScopedExchangeStop&) = delete;
  ScopedExchangeStop& operator=(const ScopedExchangeStop&) = delete;

 private:
  const CEvent* previous_;
};

// True when the calling thread named a stop event and it is set.
bool ExchangeStopRequested();

}  // namespace trx
