#include "ui/core/control_factory.h"

namespace trx::ui {

CControlFactory* CControlFactory::GetInstance() {
  static CControlFactory factory;
  return &factory;
}

bool CControlFactory::RegistControl(std::string_view className, CreateClass creator) {
  if (creator == nullptr || className.empty()) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  creators_[std::string(className)] = creator;
  return true;
}

bool CControlFactory::UnregistControl(std::string_view className) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = creators_.find(className);
  if (it == creators_.end()) return false;
  creators_.erase(it);
  return true;
}

CControlUI* CControlFactory::CreateControl(std::string_view className) const {
  CreateClass creator = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = creators_.find(className);
    if (it == creators_.end()) return nullptr;
    creator = it->second;
  }
  return creator();
}

}  // namespace trx::ui
