#include "platform/foreground/sway_foreground.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <nlohmann/json.hpp>

namespace trx::foreground {
namespace {

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr size_t kHeaderSize = sizeof kMagic + 8;
constexpr int kReplyTimeoutMs = 500;
constexpr uint32_t kMaxReply = 64u << 20;

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, char* data, size_t size) {
  while (size > 0) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, kReplyTimeoutMs) <= 0) return false;
    const ssize_t n = read(fd, data, size);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// One request and its reply's payload; false when the socket fails.
bool Exchange(const std::string& socket_path, uint32_t type, std::string* payload) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  bool ok = socket_path.size() < sizeof addr.sun_path;
  if (ok) {
    std::memcpy(addr.sun_path, socket_path.c_str(), socket_path.size() + 1);
    ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  char header[kHeaderSize];
  if (ok) {
    const uint32_t length = 0;
    std::memcpy(header, kMagic, sizeof kMagic);
    std::memcpy(header + sizeof kMagic, &length, 4);
    std::memcpy(header + sizeof kMagic + 4, &type, 4);
    ok = WriteAll(fd, header, sizeof header) && ReadAll(fd, header, sizeof header) &&
         std::memcmp(header, kMagic, sizeof kMagic) == 0;
  }
  if (ok) {
    uint32_t length = 0;
    std::memcpy(&length, header + sizeof kMagic, 4);
    ok = length <= kMaxReply;
    if (ok) {
      payload->resize(length);
      ok = ReadAll(fd, payload->data(), length);
    }
  }
  close(fd);
  return ok;
}

// Depth-first: the node with "focused": true, in "nodes" and
// "floating_nodes".
const nlohmann::json* FindFocused(const nlohmann::json& node) {
  if (!node.is_object()) return nullptr;
  auto focused = node.find("focused");
  if (focused != node.end() && focused->is_boolean() && focused->get<bool>()) return &node;
  for (const char* key : {"nodes", "floating_nodes"}) {
    auto children = node.find(key);
    if (children == node.end() || !children->is_array()) continue;
    for (const nlohmann::json& child : *children)
      if (const nlohmann::json* found = FindFocused(child)) return found;
  }
  return nullptr;
}

}  // namespace

int FocusedPidInTree(std::string_view json) {
  const nlohmann::json tree = nlohmann::json::parse(json, nullptr, false);
  if (tree.is_discarded()) return -1;
  const nlohmann::json* focused = FindFocused(tree);
  if (focused == nullptr) return 0;
  auto pid = focused->find("pid");
  if (pid == focused->end() || !pid->is_number_integer()) return 0;  // a workspace or output
  const long value = pid->get<long>();
  return value > 0 && value <= INT32_MAX ? static_cast<int>(value) : 0;
}

CSwayForegroundSource::CSwayForegroundSource(std::string socket_path, std::string proc_root)
    : socket_path_(std::move(socket_path)), proc_root_(std::move(proc_root)) {}

bool CSwayForegroundSource::Start(ForegroundUnavailable* why) {
  std::string payload;
  if (socket_path_.empty() || !Exchange(socket_path_, kSwayGetTree, &payload)) {
    if (why != nullptr) *why = {kReasonSway, "the sway socket " + socket_path_ + " does not answer"};
    return false;
  }
  started_ = true;
  return true;
}

ForegroundResult CSwayForegroundSource::Current() {
  if (!started_) return {ForegroundStatus::Unknown, {}, "not started"};
  std::string payload;
  if (!Exchange(socket_path_, kSwayGetTree, &payload)) return {ForegroundStatus::Unknown, {}, "the sway socket does not answer"};
  const int pid = FocusedPidInTree(payload);
  if (pid < 0) return {ForegroundStatus::Unknown, {}, "the sway tree can't be read"};
  if (pid == 0) return {ForegroundStatus::None, {}, {}};
  return ResultForPid(pid, proc_root_);
}

}  // namespace trx::foreground
