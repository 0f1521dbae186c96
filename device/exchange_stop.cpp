#include "device/exchange_stop.h"

namespace trx {
namespace {

thread_local const CEvent* t_stop = nullptr;

}  // namespace

ScopedExchangeStop::ScopedExchangeStop(const CEvent& stop) : previous_(t_stop) { t_stop = &stop; }

ScopedExchangeStop::~ScopedExchangeStop() { t_stop = previous_; }

bool ExchangeStopRequested() { return t_stop != nullptr && t_stop->IsSet(); }

}  // namespace trx
