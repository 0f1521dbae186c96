#include "platform/machine_store.h"

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <vector>

#include "platform/ini_file.h"

namespace trx {
namespace {

std::mutex g_override_mutex;  // guards g_override
std::string g_override;

// A key exists when its section header "[key path]" is in the file (names
// compared without regard to ASCII case, blanks trimmed, as the INI reader
// does).
bool KeyExists(std::string_view key_path, const std::string& path) {
  std::ifstream in(path);
  if (!in) return false;
  auto lower_trim = [](std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    std::string out(text);
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
  };
  const std::string want = "[" + lower_trim(key_path) + "]";
  std::string line;
  while (std::getline(in, line)) {
    std::string text = lower_trim(line);
    if (text.size() > 2 && text.front() == '[') {
      const size_t close = text.find(']');
      if (close == std::string::npos) continue;
      if ("[" + lower_trim(std::string_view(text).substr(1, close - 1)) + "]" == want) return true;
    }
  }
  return false;
}

}  // namespace

std::string MachineStorePath() {
  {
    std::lock_guard<std::mutex> lock(g_override_mutex);
    if (!g_override.empty()) return g_override;
  }
  const char* env = std::getenv("TRX770_MACHINE_STORE");
  if (env != nullptr && *env != '\0') return env;
  return kMachineStoreDefaultPath;
}

void SetMachineStorePath(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_override_mutex);
  g_override = path;
}

bool ReadMachineValue(std::string_view key_path, std::string_view name, std::string& out) {
  const std::string path = MachineStorePath();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const IniDocument doc = IniDocument::Parse(data.data(), data.size());
  return doc.Get(key_path, name, out);
}

bool WriteMachineValue(std::string_view key_path, std::string_view name, std::string_view value) {
  const std::string path = MachineStorePath();
  if (!KeyExists(key_path, path)) return false;
  return WritePrivateProfileString(key_path, name, value, path);
}

bool CreateMachineKey(std::string_view key_path) {
  const std::string path = MachineStorePath();
  if (KeyExists(key_path, path)) return true;
  // A section with no entries is not written by the INI layer; a comment
  // line would not create it either, so the key gets a placeholder value
  // that no reader asks for.
  return WritePrivateProfileString(key_path, "KEY", "", path);
}

}  // namespace trx
