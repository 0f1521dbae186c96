#pragma once
// The program in front on sway and other compositors that speak the sway
// (i3) IPC protocol: each Current asks the compositor for its tree over the
// socket named by $SWAYSOCK (message GET_TREE) and takes the pid of the
// focused node.
//
//   message  "i3-ipc" | payload length (u32, host order) | type (u32) | payload
//
// Threads: any; each call uses a connection of its own.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/foreground/foreground_source.h"
#include "platform/foreground/process_identity.h"

namespace trx::foreground {

inline constexpr uint32_t kSwayGetTree = 4;

class CSwayForegroundSource : public IForegroundSource {
 public:
  explicit CSwayForegroundSource(std::string socket_path, std::string proc_root = kProcRoot);
  const char* Name() const override { return "sway"; }
  // Checks that the socket answers.
  bool Start(ForegroundUnavailable* why) override;
  void Stop() override { started_ = false; }
  ForegroundResult Current() override;

 private:
  std::string socket_path_;
  std::string proc_root_;
  bool started_ = false;
};

// The focused node's pid in a GET_TREE reply: > 0 a window's process, 0 no
// window focused (an empty workspace), -1 a reply that can't be parsed.
int FocusedPidInTree(std::string_view json);

}  // namespace trx::foreground
