// The firmware model driven by frames; the in-process backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "device/commands.h"
#include "device/hid_device.h"
#include "platform/event.h"
#include "sim/firmware_model.h"
#include "sim/sim_backend.h"

namespace trx::sim {
namespace {

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

// Bytes at their offsets, checked against the documented factory layout.
void ExpectBytes(const std::vector<uint8_t>& memory, std::initializer_list<std::pair<size_t, int>> bytes, const char* what) {
  for (const auto& [at, value] : bytes) EXPECT_EQ(memory.at(at), value) << what << " byte " << at;
}

TEST_F(SimMemory, FactoryContentsMatchTheDocumentedLayout) {
  const auto info = mouse.Info();
  ASSERT_EQ(info.size(), 33u);
  // 4096 bytes of macro memory, sensor 0x3325 (little-endian), 50, 200.
  ExpectBytes(info, {{6, 32}, {9, 0x25}, {10, 0x33}, {11, 50}, {13, 200}, {14, 0}}, "information");
  EXPECT_EQ(mouse.MacroMemory().size(), 4096u);

  const auto main = mouse.MainBlock();
  const std::vector<uint8_t> head = {0x10, 0x01, 0x00, 0x10, 0x04, 0x00, 0x10, 0x02, 0x00,
                                     0x10, 0x10, 0x00, 0x10, 0x08, 0x00, 0x13, 0x03, 0x00};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), main.begin()));
  ExpectBytes(main, {{18, 0x05}, {509, 0x05}, {510, 0}, {511, 0}}, "main block");

  const auto routine = mouse.RoutineMemory();
  ASSERT_EQ(routine.size(), 3072u);
  // Magic 0x55AA, total 40, 4 routines at 24, 28, 32, 36.
  ExpectBytes(routine, {{0, 0xAA}, {1, 0x55}, {2, 40}, {4, 4}, {16, 24}, {22, 36}}, "routines");

  const auto s = mouse.Settings();
  // Active profile 0, record 3 knows its index, 800 and 6400 DPI.
  ExpectBytes(s, {{0, 0}, {3 * 64, 3}, {64 + 15, 12}, {64 + 18, 124}}, "settings");
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

  // Another device's, a cut, a padded or a resized image: refused, memory unchanged.
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
  // A reply echoes the request and carries a valid checksum.
  const SimResponse r = Send(mouse, kCmdReadSettings, 5, 0x0102);
  ASSERT_TRUE(r.reply);
  EXPECT_EQ(std::vector<uint8_t>({r.frame[0], r.frame[3], r.frame[4], r.frame[5], r.frame[6]}),
            (std::vector<uint8_t>{4, kCmdReadSettings, 5, 0x02, 0x01}));
  Frame copy;
  std::copy(r.frame.begin(), r.frame.end(), copy.begin());
  EXPECT_EQ(FrameChecksum(copy), r.frame[1] | (r.frame[2] << 8));
}

// The profile button cycles the active index (0x401), the DPI button the active level (0x402).
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

// The first usage of the next notification on a consumer interface (or -1).
int ReadNotification(CHidDevice& hid) {
  size_t got = 0;
  if (hid.ReadReport(hid.input_report_buffer.data(), hid.input_report_buffer.size(), 2000, &got) != 1) return -1;
  if (!DecodeInputUsages(hid.input_elements, hid.input_report_buffer.data(), got, hid.descriptor)) return -1;
  if (hid.input_elements.empty() || hid.input_elements[0].usage_list.empty()) return -1;
  return hid.input_elements[0].usage_list[0];
}

class SimBackendTest : public ::testing::Test {
 protected:
  std::shared_ptr<SimBackend> backend = std::make_shared<SimBackend>();
  std::shared_ptr<SimFirmware> mouse = std::make_shared<SimFirmware>(SimKind::Mouse);
  std::shared_ptr<SimFirmware> pad = std::make_shared<SimFirmware>(SimKind::MousePad);
  CEvent stop;
  uint8_t buf[64] = {};
  size_t n = 0;
};

TEST_F(SimBackendTest, EachDeviceShowsAVendorAndAConsumerInterfaceWhilePluggedIn) {
  const int m = backend->AddDevice(mouse);
  const int p = backend->AddDevice(pad, /*plugged=*/false);
  std::vector<std::string> paths;
  ASSERT_TRUE(backend->Enumerate(paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"sim#vid_0c45&pid_652c#sim0.0", "sim#vid_0c45&pid_652c#sim0.1"}));
  backend->Plug(p);
  backend->Unplug(m);
  ASSERT_TRUE(backend->Enumerate(paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"sim#vid_0c45&pid_6758#sim1.0", "sim#vid_0c45&pid_6758#sim1.1"}));
  EXPECT_FALSE(backend->Probe(backend->VendorPath(m)));
  EXPECT_TRUE(backend->Probe(backend->ConsumerPath(p)));

  CHidDevice hid(backend);
  hid.want_read = true;
  hid.device_path = backend->VendorPath(p);
  ASSERT_EQ(hid.Open(), 1);
  EXPECT_EQ(hid.attributes.product_id, 0x6758);
  EXPECT_EQ(hid.capabilities.usage_page, 0xFF1C);
  EXPECT_EQ(hid.capabilities.usage, 0x92);
  EXPECT_EQ(hid.capabilities.input_report_byte_length, 64);
  EXPECT_EQ(hid.capabilities.output_report_byte_length, 64);
}

TEST_F(SimBackendTest, UnplugMakesOpenHandlesGoneAndReplugNeedsNewHandles) {
  const int m = backend->AddDevice(mouse);
  auto handle = backend->Open(backend->VendorPath(m), true, true, false);
  ASSERT_NE(handle, nullptr);
  backend->Unplug(m);
  EXPECT_EQ(handle->Write(buf, 64, 1000, stop, n), HidIo::Gone);
  EXPECT_EQ(handle->Read(buf, 64, 60000, stop, n), HidIo::Gone);  // at once, not after the timeout
  backend->Plug(m);
  EXPECT_EQ(handle->Read(buf, 64, 0, stop, n), HidIo::Gone);
  auto fresh = backend->Open(backend->VendorPath(m), true, true, false);
  ASSERT_NE(fresh, nullptr);
  const Frame begin = BuildFrame(kCmdBeginTransfer, 0, 0);
  EXPECT_EQ(fresh->Write(begin.data(), 64, 1000, stop, n), HidIo::Ok);
  EXPECT_EQ(fresh->Read(buf, 64, 1000, stop, n), HidIo::Ok);
  EXPECT_EQ(n, 64u);
}

TEST_F(SimBackendTest, RepliesReachEveryReaderAndExclusiveOpensAreKeptApart) {
  const int m = backend->AddDevice(mouse);
  auto writer = backend->Open(backend->VendorPath(m), true, true, false);
  auto listener = backend->Open(backend->VendorPath(m), true, false, false);
  ASSERT_NE(listener, nullptr);
  EXPECT_EQ(backend->Open(backend->VendorPath(m), true, true, true), nullptr);
  EXPECT_EQ(listener->Write(buf, 64, 1000, stop, n), HidIo::Error);  // opened without write access
  const Frame begin = BuildFrame(kCmdBeginTransfer, 0, 0);
  ASSERT_EQ(writer->Write(begin.data(), 64, 1000, stop, n), HidIo::Ok);
  EXPECT_EQ(listener->Read(buf, 64, 1000, stop, n), HidIo::Ok);
  EXPECT_EQ(writer->DrainInput(), 1u);
  stop.Set();  // the stop event ends a waiting read
  EXPECT_EQ(listener->Read(buf, 64, 60000, stop, n), HidIo::Stopped);
  EXPECT_EQ(listener->Read(buf, 64, 0, stop, n), HidIo::Timeout);  // the auto-reset stop was consumed
}

TEST_F(SimBackendTest, DeviceButtonsSendConsumerNotificationsOnTheSecondInterface) {
  const int m = backend->AddDevice(mouse);
  CHidDevice hid(backend);
  hid.want_read = true;
  hid.device_path = backend->ConsumerPath(m);
  ASSERT_EQ(hid.Open(), 1);
  EXPECT_EQ(hid.capabilities.usage_page, 0x0C);
  EXPECT_EQ(hid.capabilities.usage, 1);
  mouse->PressProfileButton();
  EXPECT_EQ(ReadNotification(hid), 0x401);
  mouse->PressDpiButton();
  EXPECT_EQ(ReadNotification(hid), 0x402);
  mouse->Notify(0x403);
  EXPECT_EQ(ReadNotification(hid), 0x403);
}

}  // namespace
}  // namespace trx::sim
