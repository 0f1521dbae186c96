#pragma once
// CControlFactory: program-registered control classes by XML class name
// (exact match), asked by the builder after the callback. Registration is
// meant for start-up on the UI thread; lookups are guarded and may come
// from any thread.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "ui/core/control.h"

namespace trx::ui {

using CreateClass = CControlUI* (*)();

class CControlFactory {
 public:
  static CControlFactory* GetInstance();
  // Registers (or replaces) a creator; null creators are refused.
  bool RegistControl(std::string_view className, CreateClass creator);
  bool UnregistControl(std::string_view className);
  // New control of that class, or null when unknown / the creator failed.
  CControlUI* CreateControl(std::string_view className) const;

 private:
  mutable std::mutex mutex_;  // guards creators_
  std::map<std::string, CreateClass, std::less<>> creators_;
};

}  // namespace trx::ui
