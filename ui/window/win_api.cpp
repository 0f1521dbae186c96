#include "ui/window/win_api.h"

#include <map>
#include <mutex>
#include <string>

#include "ui/window/message_queue.h"
#include "ui/window/window_registry.h"

namespace trx::ui {

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return CMessageQueue::Instance().Post(hwnd, msg, wparam, lparam) ? TRUE : FALSE;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return CMessageQueue::Instance().Send(hwnd, msg, wparam, lparam);
}

void PostQuitMessage(int exit_code) { CMessageQueue::Instance().PostQuit(exit_code); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, void* timer_proc) {
  if (timer_proc != nullptr) return 0;  // callback timers are not supported
  return CMessageQueue::Instance().SetTimer(hwnd, id, elapse_ms);
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  return CMessageQueue::Instance().KillTimer(hwnd, id) ? TRUE : FALSE;
}

UINT RegisterWindowMessage(const char* name) {
  if (name == nullptr || *name == '\0') return 0;
  static std::mutex mu;  // guards names and next
  static std::map<std::string, UINT> names;
  static UINT next = kRegisteredMessageFirst;
  std::string key(name);  // names compare without regard to ASCII case
  for (char& c : key) c = static_cast<char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
  std::lock_guard lock(mu);
  auto it = names.find(key);
  if (it != names.end()) return it->second;
  if (next > kRegisteredMessageLast) return 0;
  const UINT number = next++;
  names.emplace(key, number);
  return number;
}

BOOL IsWindow(HWND hwnd) { return window_registry::IsAlive(hwnd) ? TRUE : FALSE; }

}  // namespace trx::ui
