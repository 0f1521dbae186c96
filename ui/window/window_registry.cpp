#include "ui/window/window_registry.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace trx::ui::window_registry {
namespace {

struct Table {
  std::mutex mu;  // guards next and targets; never held while calling out
  std::uintptr_t next = 0x10000;
  std::unordered_map<std::uintptr_t, IMessageTarget*> targets;
};

Table& table() {
  static Table* t = new Table;  // lives to process exit: workers may post late
  return *t;
}

}  // namespace

HWND Register(IMessageTarget* target) {
  Table& t = table();
  std::lock_guard lock(t.mu);
  const std::uintptr_t id = t.next;
  t.next += 4;  // steps like real handles; the low bits stay clear
  t.targets[id] = target;
  return reinterpret_cast<HWND>(id);
}

void Unregister(HWND hwnd) {
  Table& t = table();
  std::lock_guard lock(t.mu);
  t.targets.erase(reinterpret_cast<std::uintptr_t>(hwnd));
}

bool IsAlive(HWND hwnd) {
  if (hwnd == nullptr) return false;
  Table& t = table();
  std::lock_guard lock(t.mu);
  return t.targets.count(reinterpret_cast<std::uintptr_t>(hwnd)) != 0;
}

IMessageTarget* Lookup(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  Table& t = table();
  std::lock_guard lock(t.mu);
  auto it = t.targets.find(reinterpret_cast<std::uintptr_t>(hwnd));
  return it == t.targets.end() ? nullptr : it->second;
}

int LiveCount() {
  Table& t = table();
  std::lock_guard lock(t.mu);
  return static_cast<int>(t.targets.size());
}

}  // namespace trx::ui::window_registry
