#pragma once
// A temporary home and program folder, a fresh image and the test's debug lines.

#include <algorithm>
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "platform/program_folder.h"
#include "profile/profile_families.h"
#include "profile/profile_operations.h"
#include "settings/config_images.h"
#include "tests/platform/temp_home.h"
#include "tests/support/golden.h"

namespace trx::test {

// A select's target: `channel` (none: no device), what it was told.
class RecordingTarget : public IProfileSelectTarget {
 public:
  explicit RecordingTarget(CDeviceChannel* c = nullptr) : channel(c) {}
  CDeviceChannel* Channel(DeviceKind) override { return channel; }
  void MarkSettingsPending(DeviceKind) override { ++pending; }
  void ProfileSelected(const ProfileSelection& s) override { selections.push_back(s); }
  CDeviceChannel* channel;
  int pending = 0;
  std::vector<ProfileSelection> selections;
};

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetImagesToBuiltIn();
    SetProgramFolderOverride(home_.Path("program"));
    std::filesystem::create_directories(home_.Path("program"));
    old_sink_ = SetDebugSink([this](std::string_view line) {
      std::lock_guard<std::mutex> guard(lines_mutex_);
      lines_.emplace_back(line);
    });
  }
  void TearDown() override {
    SetDebugSink(old_sink_);
    SetProgramFolderOverride("");
    ResetImagesToBuiltIn();
  }

  std::vector<std::string> DebugLines() { std::lock_guard<std::mutex> guard(lines_mutex_); return lines_; }
  std::string Folder(const char* device) { return home_.Path(std::string("Documents/Dirari DovevO1/") + device + "/"); }
  static std::vector<uint8_t> Golden(const std::string& name) { return ReadGoldenBytes("profile/" + name); }
  // A profile file: 16-byte header of `kind` + data.
  static std::vector<uint8_t> FileBytes(uint8_t kind, const std::vector<uint8_t>& data) {
    // Filled in place: an insert trips a false -Warray-bounds in GCC 12 -O2 under TSan.
    std::vector<uint8_t> b(16 + data.size(), 0);
    b[0] = 0xAA;
    b[1] = 0x55;
    b[4] = kind;
    std::copy(data.begin(), data.end(), b.begin() + 16);
    return b;
  }

  TempHome home_;
  DebugSink old_sink_;
  std::mutex lines_mutex_;
  std::vector<std::string> lines_;
};

}  // namespace trx::test
