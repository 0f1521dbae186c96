#include <cctype>
#include <cstdio>

#include "device/hid_backend.h"

namespace trx {
namespace {

uint16_t ParseHexAfter(const std::string& path, const char* tag) {
  // Case-insensitive search for the tag, then hexadecimal digits.
  const size_t tag_len = 4;
  for (size_t i = 0; i + tag_len <= path.size(); ++i) {
    bool match = true;
    for (size_t k = 0; k < tag_len; ++k) {
      if (std::tolower(static_cast<unsigned char>(path[i + k])) != tag[k]) {
        match = false;
        break;
      }
    }
    if (!match) continue;
    unsigned value = 0;
    for (size_t j = i + tag_len; j < path.size() && std::isxdigit(static_cast<unsigned char>(path[j])); ++j) {
      char c = static_cast<char>(std::tolower(static_cast<unsigned char>(path[j])));
      value = value * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'a' + 10);
      value &= 0xFFFFFFu;
    }
    return static_cast<uint16_t>(value);
  }
  return 0;
}

}  // namespace

namespace {
thread_local int t_last_open_error = 0;
}  // namespace

int LastHidOpenError() { return t_last_open_error; }
void SetLastHidOpenError(int error) { t_last_open_error = error; }

std::string MakeInterfacePath(const std::string& scheme, uint16_t vid, uint16_t pid, const std::string& node) {
  char ids[32];
  std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x", vid, pid);
  return scheme + "#" + ids + "#" + node;
}

uint16_t ParsePathVendorId(const std::string& path) { return ParseHexAfter(path, "vid_"); }
uint16_t ParsePathProductId(const std::string& path) { return ParseHexAfter(path, "pid_"); }

int PathCollection(const std::string& path) {
  static constexpr char kTag[] = "&col";
  const size_t tag_len = sizeof kTag - 1;
  for (size_t i = 0; i + tag_len <= path.size(); ++i) {
    bool match = true;
    for (size_t k = 0; k < tag_len && match; ++k) {
      match = std::tolower(static_cast<unsigned char>(path[i + k])) == kTag[k];
    }
    if (!match) continue;
    int n = 0;
    size_t j = i + tag_len;
    for (; j < path.size() && j < i + tag_len + 3 && std::isdigit(static_cast<unsigned char>(path[j])); ++j) {
      n = n * 10 + (path[j] - '0');
    }
    if (j == i + tag_len || n == 0) return -1;
    return n - 1;
  }
  return -1;
}

std::string PathNode(const std::string& path) {
  size_t hash = path.rfind('#');
  return hash == std::string::npos ? path : path.substr(hash + 1);
}

}  // namespace trx
