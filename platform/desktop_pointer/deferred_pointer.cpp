#include "platform/desktop_pointer/deferred_pointer.h"

namespace trx::desktop {

const char* CDeferredDesktopPointer::Name() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return backend_ ? backend_->Name() : "pending";
}

IDesktopPointer& CDeferredDesktopPointer::Backend() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!backend_) {
    if (open_) backend_ = open_();
    if (!backend_) backend_ = std::make_unique<CNoDesktopPointer>();
    open_ = nullptr;
  }
  return *backend_;
}

}  // namespace trx::desktop
