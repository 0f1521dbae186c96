#include "platform/file_lookup.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace trx {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// Same stem (exactly), same extension up to case. A name without a '.'
// only matches itself.
bool SameUpToExtensionCase(const std::string& want, const std::string& have) {
  size_t dot = want.find_last_of('.');
  if (dot == std::string::npos || have.size() != want.size()) return want == have;
  if (have.compare(0, dot + 1, want, 0, dot + 1) != 0) return false;
  return EqualIgnoringAsciiCase(want.substr(dot + 1), have.substr(dot + 1));
}

std::string WithSlash(const std::string& folder) {
  if (folder.empty()) return "./";
  return folder.back() == '/' ? folder : folder + "/";
}

// Names in `folder` equal to `name` up to the case of the extension,
// excluding `name` itself.
std::vector<std::string> Twins(const std::string& folder, const std::string& name) {
  std::vector<std::string> found;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return found;
  while (dirent* entry = ::readdir(dir)) {
    std::string have = entry->d_name;
    if (have != name && SameUpToExtensionCase(name, have)) found.push_back(have);
  }
  ::closedir(dir);
  return found;
}

void SplitPath(const std::string& path, std::string& folder, std::string& name) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    folder = "./";
    name = path;
  } else {
    folder = path.substr(0, slash + 1);
    name = path.substr(slash + 1);
  }
}

}  // namespace

std::string FindFileIgnoringExtensionCase(const std::string& folder, const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  std::string base = WithSlash(folder);
  if (IsRegularFile(base + name)) return base + name;
  std::string best;
  for (const std::string& twin : Twins(base, name))
    if (IsRegularFile(base + twin) && (best.empty() || twin < best)) best = twin;
  return best.empty() ? std::string() : base + best;
}

std::string ResolveExtensionCase(const std::string& path) {
  std::string folder, name;
  SplitPath(path, folder, name);
  std::string found = FindFileIgnoringExtensionCase(folder, name);
  if (found.empty()) return path;
  // Keep the caller's folder spelling ("./" is only ours).
  return path.find('/') == std::string::npos ? found.substr(2) : found;
}

int RemoveExtensionCaseTwins(const std::string& path) {
  std::string folder, name;
  SplitPath(path, folder, name);
  int removed = 0;
  for (const std::string& twin : Twins(folder, name))
    if (IsRegularFile(folder + twin) && ::unlink((folder + twin).c_str()) == 0) ++removed;
  return removed;
}

}  // namespace trx
