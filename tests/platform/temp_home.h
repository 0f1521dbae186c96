#pragma once
// A temporary folder that stands in for the user's home for one test:
// HOME, XDG_CONFIG_HOME and XDG_STATE_HOME point into it while the object
// lives (so no test leaves device backups in the real state folder), and it
// is removed afterwards.

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace trx::test {

class TempHome {
 public:
  TempHome() {
    char pattern[] = "/tmp/trx770-test-XXXXXX";
    root_ = ::mkdtemp(pattern);
    SaveEnv("HOME");
    SaveEnv("XDG_CONFIG_HOME");
    SaveEnv("XDG_STATE_HOME");
    ::setenv("HOME", root_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root_ + "/.config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (root_ + "/.local/state").c_str(), 1);
  }
  ~TempHome() {
    for (auto& [name, value, had] : saved_) {
      if (had) ::setenv(name.c_str(), value.c_str(), 1);
      else ::unsetenv(name.c_str());
    }
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::string& root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

  static void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  static void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
  }
  static std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static std::string ReadText(const std::string& path) {
    std::vector<uint8_t> b = ReadBytes(path);
    return std::string(b.begin(), b.end());
  }
#ifdef TRX770_TEST_DATA_DIR  // defined for the tests (not for the benchmarks sharing this header)
  // A golden file under tests/data (e.g. "platform/autostart.desktop"), as text.
  static std::string Golden(const std::string& relative) { return ReadText(TRX770_TEST_DATA_DIR "/" + relative); }
#endif
  // Every file under the home, by path, with its bytes.
  std::map<std::string, std::vector<uint8_t>> AllFiles() const {
    std::map<std::string, std::vector<uint8_t>> out;
    for (auto& e : std::filesystem::recursive_directory_iterator(root_))
      if (e.is_regular_file()) out[e.path().string()] = ReadBytes(e.path().string());
    return out;
  }
  // Names in a folder, sorted.
  static std::vector<std::string> List(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  struct Saved {
    std::string name, value;
    bool had;
  };
  void SaveEnv(const char* name) {
    const char* v = ::getenv(name);
    saved_.push_back({name, v ? v : "", v != nullptr});
  }
  std::string root_;
  std::vector<Saved> saved_;
};

}  // namespace trx::test
