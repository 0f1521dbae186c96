// The firmware model's memory: where writes land, what reads return, the
// status byte for bad requests, reset and the device-side buttons. Frames
// are driven straight into the model.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "device/commands.h"
#include "sim/firmware_model.h"

namespace trx {
namespace {

using sim::SimFirmware;
using sim::SimKind;
using sim::SimResponse;

SimResponse Send(SimFirmware& fw, const Frame& f) { return fw.HandleRequest(f.data(), f.size()); }
SimResponse Send(SimFirmware& fw, uint8_t cmd, uint8_t len, uint16_t addr, const std::vector<uint8_t>& payload = {}) {
  return Send(fw, BuildFrame(cmd, len, addr, payload.data(), payload.size()));
}

class SimMemory : public ::testing::Test {
 protected:
  SimFirmware mouse{SimKind::Mouse};
};

TEST_F(SimMemory, KeyBlocksStepBy126AndOverlapTheNextProfile) {
  std::vector<uint8_t> payload(56, 0x77);
  Send(mouse, kCmdWriteKeyBlock, 56, 1 * 126 + 112, payload);  // index 1, third chunk
  const auto keys = mouse.KeyMemory();
  EXPECT_EQ(keys[237], 0x05);
  EXPECT_EQ(keys[238], 0x77);
  EXPECT_EQ(keys[252], 0x77);  // the start of profile 2's own bytes
  EXPECT_EQ(keys[293], 0x77);
  EXPECT_EQ(keys[294], sim::FactoryMainBlock(512)[42]);
  EXPECT_EQ(keys.size(), 4u * 126 + 512);
}

TEST_F(SimMemory, FactoryContentsMatchTheDocumentedLayout) {
  const auto info = mouse.Info();
  ASSERT_EQ(info.size(), 33u);
  EXPECT_EQ(info[6], 32);                 // 4096 bytes of macro memory
  EXPECT_EQ(info[9], 0x25);               // sensor 0x3325, little-endian
  EXPECT_EQ(info[10], 0x33);
  EXPECT_EQ(info[11], 50);
  EXPECT_EQ(info[13] | (info[14] << 8), 200);
  EXPECT_EQ(mouse.MacroMemory().size(), 4096u);

  const auto main = mouse.MainBlock();
  const std::vector<uint8_t> head = {0x10, 0x01, 0x00, 0x10, 0x04, 0x00, 0x10, 0x02, 0x00,
                                     0x10, 0x10, 0x00, 0x10, 0x08, 0x00, 0x13, 0x03, 0x00};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), main.begin()));
  EXPECT_EQ(main[18], 0x05);
  EXPECT_EQ(main[509], 0x05);
  EXPECT_EQ(main[510], 0x00);
  EXPECT_EQ(main[511], 0x00);

  const auto routine = mouse.RoutineMemory();
  ASSERT_EQ(routine.size(), 3072u);
  EXPECT_EQ(routine[0], 0xAA);  // magic 0x55AA, total 40, 4 routines at 24, 28, 32, 36
  EXPECT_EQ(routine[1], 0x55);
  EXPECT_EQ(routine[2], 40);
  EXPECT_EQ(routine[4], 4);
  EXPECT_EQ(routine[16], 24);
  EXPECT_EQ(routine[22], 36);

  const auto s = mouse.Settings();
  EXPECT_EQ(s[0], 0);         // active profile
  EXPECT_EQ(s[3 * 64], 3);    // record 3 knows its index
  EXPECT_EQ(s[64 + 15], 12);  // 800 DPI
  EXPECT_EQ(s[64 + 18], 124); // 6400 DPI
  EXPECT_NE(s[21] | s[22] << 8 | s[23] << 16, s[24] | s[25] << 8 | s[26] << 16);  // distinct DPI colours
}

TEST_F(SimMemory, MemoryImageRestoresEverySectionAndRefusesForeignOrDamagedImages) {
  mouse.SetSettingsByte(0, 3);
  ASSERT_EQ(Send(mouse, kCmdWriteKeyBlock, 2, 126 * 4, {0xAB, 0xCD}).frame[7], sim::kStatusAccepted);
  const std::vector<uint8_t> image = mouse.SaveMemory();
  EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 11),
            (std::vector<uint8_t>{'T', 'R', 'X', 'S', 'I', 'M', '0', '1', 0x00, 0x2C, 0x65}));
  SimFirmware fresh(SimKind::Mouse);
  ASSERT_TRUE(fresh.LoadMemory(image));
  EXPECT_EQ(fresh.Settings(), mouse.Settings());
  EXPECT_EQ(fresh.KeyMemory(), mouse.KeyMemory());
  EXPECT_EQ(fresh.SaveMemory(), image);

  // Another device, a cut image, a padded one, a section of another size:
  // refused, memory unchanged.
  SimFirmware pad(SimKind::MousePad);
  const std::vector<uint8_t> pad_before = pad.SaveMemory();
  std::vector<uint8_t> cut(image.begin(), image.end() - 1);
  std::vector<uint8_t> padded = image;
  padded.push_back(0);
  std::vector<uint8_t> resized = image;
  resized[11] = 34;  // information section claims 34 bytes
  EXPECT_FALSE(pad.LoadMemory(image));
  for (const auto& bad : {cut, padded, resized, std::vector<uint8_t>{}}) {
    SimFirmware target(SimKind::Mouse);
    const std::vector<uint8_t> before = target.SaveMemory();
    EXPECT_FALSE(target.LoadMemory(bad));
    EXPECT_EQ(target.SaveMemory(), before);
  }
  EXPECT_EQ(pad.SaveMemory(), pad_before);
}

TEST_F(SimMemory, ResetRestoresSettingsAndKeysButNotTheMainBlock) {
  Send(mouse, kCmdWriteSettings, 2, 0, {4, 9});
  Send(mouse, kCmdWriteKeyBlock, 3, 0, {0x20, 0x04, 0x00});
  const SimResponse r = Send(mouse, BuildFrame(kCmdResetDefaults, 0, 0, nullptr, 0, false));
  ASSERT_TRUE(r.reply);
  EXPECT_EQ(r.frame[7], sim::kStatusAccepted);
  EXPECT_EQ(mouse.Settings(), sim::FactorySettings(SimKind::Mouse));
  EXPECT_EQ(mouse.KeyMemory()[0], 0x10);
  EXPECT_EQ(mouse.MainBlock(), sim::FactoryMainBlock(512));
}

TEST_F(SimMemory, BadRequestsAreAnsweredWithFailureStatusAndChangeNothing) {
  Frame bad_sum = BuildFrame(kCmdWriteSettings, 1, 0, std::vector<uint8_t>{4}.data(), 1);
  bad_sum[1] ^= 0x01;
  EXPECT_EQ(Send(mouse, bad_sum).frame[7], sim::kStatusBadRequest);
  EXPECT_EQ(mouse.Settings()[0], 0);
  EXPECT_EQ(Send(mouse, 0x04, 0, 0).frame[7], sim::kStatusBadRequest);  // no command 4
  Frame wrong_id = BuildFrame(kCmdBeginTransfer, 0, 0);
  wrong_id[0] = 5;
  EXPECT_EQ(Send(mouse, wrong_id).frame[7], sim::kStatusBadRequest);

  EXPECT_EQ(Send(mouse, kCmdReadSettings, 56, 265).frame[7], sim::kStatusOutOfRange);  // 265 + 56 > 320
  EXPECT_EQ(Send(mouse, kCmdReadSettings, 56, 264).frame[7], sim::kStatusAccepted);
  EXPECT_EQ(Send(mouse, kCmdReadSettings, 57, 0).frame[7], sim::kStatusOutOfRange);
  EXPECT_EQ(Send(mouse, kCmdWriteRoutineMemory, 8, 3068).frame[7], sim::kStatusOutOfRange);
  EXPECT_EQ(Send(mouse, kCmdReadKeyBlock, 8, 1016).frame[7], sim::kStatusOutOfRange);
  EXPECT_EQ(Send(mouse, kCmdReadKeyBlock, 8, 1008).frame[7], sim::kStatusAccepted);
  SimFirmware keyboard(SimKind::Keyboard);  // 378-byte blocks (information byte 5: 126)
  EXPECT_EQ(Send(keyboard, kCmdReadMainBlock, 56, 336).frame[7], sim::kStatusOutOfRange);
  EXPECT_EQ(Send(keyboard, kCmdReadMainBlock, 42, 336).frame[7], sim::kStatusAccepted);
  EXPECT_EQ(keyboard.KeyMemory().size(), 4u * 126 + 378);
  const std::vector<uint8_t> main = keyboard.MainBlock(), keys = keyboard.KeyMemory();
  EXPECT_TRUE(std::equal(main.begin(), main.end(), keys.begin()));  // its one key block
}

TEST_F(SimMemory, RepliesEchoTheRequestAndCarryAValidChecksum) {
  const SimResponse r = Send(mouse, kCmdReadSettings, 5, 0x0102);
  ASSERT_TRUE(r.reply);
  EXPECT_EQ(r.frame[0], 4);
  EXPECT_EQ(r.frame[3], kCmdReadSettings);
  EXPECT_EQ(r.frame[4], 5);
  EXPECT_EQ(r.frame[5], 0x02);
  EXPECT_EQ(r.frame[6], 0x01);
  Frame copy;
  std::copy(r.frame.begin(), r.frame.end(), copy.begin());
  EXPECT_EQ(FrameChecksum(copy), r.frame[1] | (r.frame[2] << 8));
}

// The profile button cycles the active index (0x401), the DPI button the
// active record's level only (0x402).
TEST_F(SimMemory, ProfileAndDpiButtonsCycleAndNotify) {
  std::vector<uint16_t> usages;
  mouse.SetNotifier([&](uint16_t usage) { usages.push_back(usage); });
  mouse.SetSettingsByte(0, 4);
  mouse.PressProfileButton();
  EXPECT_EQ(mouse.Settings()[0], 0);
  mouse.PressProfileButton();
  EXPECT_EQ(mouse.Settings()[0], 1);
  mouse.SetSettingsByte(64 + 19, 3);
  mouse.PressDpiButton();
  const auto s = mouse.Settings();
  EXPECT_EQ(s[64 + 19], 0);
  EXPECT_EQ(s[2 * 64 + 19], sim::FactorySettings(SimKind::Mouse)[2 * 64 + 19]);
  EXPECT_EQ(usages, (std::vector<uint16_t>{0x401, 0x401, 0x402}));
}

}  // namespace
}  // namespace trx
