#include "platform/autostart.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "platform/user_folders.h"

namespace trx {
namespace {

// An argument of a desktop entry's Exec key: quoted when it holds anything
// but plain characters, with the characters the quoting rules reserve
// escaped; '%' is doubled (field codes).
std::string ExecArgument(const std::string& arg) {
  bool plain = !arg.empty();
  for (char c : arg)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '.' || c == '-' || c == '_' || c == '+'))
      plain = false;
  std::string out;
  if (!plain) out += '"';
  for (char c : arg) {
    if (c == '%') {
      out += "%%";
      continue;
    }
    if (!plain && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    out += c;
  }
  if (!plain) out += '"';
  // The value itself is a string value: backslashes are escaped once more.
  std::string value;
  for (char c : out) {
    if (c == '\\') value += '\\';
    value += c;
  }
  return value;
}

}  // namespace

std::string AutostartEntryPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base = (config != nullptr && config[0] == '/') ? std::string(config) : HomeFolder() + "/.config";
  return base + "/autostart/" + kAutostartFileName;
}

std::string AutostartEntryText(const std::string& executable) {
  const std::string exec = ExecArgument(executable);
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=TRX770\n"
         "Comment=Configure the TRX770 mouse, keyboard and mouse pad\n"
         "Exec=" + exec + "\n"
         "TryExec=" + exec + "\n"
         "Icon=trx770\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool IsAutostartEnabled() {
  const std::string path = AutostartEntryPath();
  if (::access(path.c_str(), F_OK) != 0) return false;
  std::string hidden, gnome;
  GetPrivateProfileString("Desktop Entry", "Hidden", "false", hidden, path);
  GetPrivateProfileString("Desktop Entry", "X-GNOME-Autostart-enabled", "true", gnome, path);
  return hidden != "true" && gnome != "false";
}

bool SetAutostartEnabled(bool enabled, const std::string& executable) {
  const std::string path = AutostartEntryPath();
  if (!enabled) return ::unlink(path.c_str()) == 0 || errno == ENOENT;
  if (executable.empty()) return false;
  if (!EnsureFolder(path.substr(0, path.rfind('/') + 1))) return false;
  const std::string text = AutostartEntryText(executable);
  return WriteFileAtomic(path, text.data(), text.size());
}

std::string CurrentExecutable() {
  std::vector<char> buf(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  return n > 0 ? std::string(buf.data(), static_cast<size_t>(n)) : std::string();
}

}  // namespace trx
