#pragma once
// A private session bus for a test: a dbus-daemon of its own, ended with
// the object. Tests on it are not labelled "threaded" (GLib's own threads
// are not instrumented for ThreadSanitizer).

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace trx::test {

class PrivateBus {
 public:
  PrivateBus() {
    FILE* p = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 --nosyslog 2>/dev/null", "r");
    if (p == nullptr) return;
    char line[512] = {};
    if (fgets(line, sizeof line, p) != nullptr) address_ = line;
    if (fgets(line, sizeof line, p) != nullptr) pid_ = std::atoi(line);
    pclose(p);
    while (!address_.empty() && address_.back() == '\n') address_.pop_back();
  }
  ~PrivateBus() {
    if (pid_ > 0) kill(pid_, SIGTERM);
  }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;
  const std::string& Address() const { return address_; }

 private:
  std::string address_;
  int pid_ = 0;
};

}  // namespace trx::test
