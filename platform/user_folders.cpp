#include "platform/user_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace trx {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs, expanded; empty when
// the file or the entry is missing. Lines look like
//   XDG_DOCUMENTS_DIR="$HOME/Documents"
std::string XdgDocumentsDir(const std::string& home) {
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty() || config[0] != '/') config = home + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  std::string result;
  while (std::getline(in, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    if (line.compare(start, key.size(), key) != 0) continue;
    std::string value = line.substr(start + key.size());
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t')) value.pop_back();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.compare(0, 5, "$HOME") == 0) {
      value = home + value.substr(5);
    } else if (!value.empty() && value[0] != '/') {
      value = home + "/" + value;
    }
    // "$HOME/" alone means the feature is off: use the default.
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    result = (value == home) ? std::string() : value;  // the last entry wins
  }
  return result;
}

}  // namespace

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (home.empty()) {
    if (const passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir ? pw->pw_dir : "";
  }
  if (home.empty()) home = "/tmp";
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  return home;
}

bool EnsureFolder(const std::string& path) {
  if (path.empty()) return false;
  // Almost always there already (the monitor threads ask every cycle): one
  // stat instead of a mkdir per path element.
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  std::string partial;
  size_t pos = 0;
  while (pos != std::string::npos) {
    size_t next = path.find('/', pos + 1);
    partial = path.substr(0, next);
    if (!partial.empty() && partial != "/") {
      if (::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    pos = next;
  }
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string DocumentsFolder() {
  std::string home = HomeFolder();
  std::string docs = XdgDocumentsDir(home);
  if (docs.empty()) docs = home + "/Documents";
  EnsureFolder(docs);
  return WithSlash(docs);
}

std::string UserDataFolder() {
  std::string folder = DocumentsFolder() + kDataFolderName;
  EnsureFolder(folder);
  return WithSlash(folder);
}

std::string MainIniPath() { return UserDataFolder() + kMainIniName; }

}  // namespace trx
