#include "app/link_selector.h"


namespace trx::app {

void LinkSelectProxy::Attach(Select select) {
  std::lock_guard<std::mutex> lock(mutex_);
  select_ = std::move(select);
}

void LinkSelectProxy::Detach() {
  std::lock_guard<std::mutex> lock(mutex_);
  select_ = nullptr;
}

LinkSelectResult LinkSelectProxy::SelectLinkedProfile(const ProfileFamilyInfo& family, int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  return select_ ? select_(family, index) : LinkSelectResult::Gone;
}

}  // namespace trx::app
