#pragma once
// Firmware model of the TRX770 family: the memories of one simulated device
// (mouse, keyboard or mouse pad) and the answers it gives to the 64-byte
// configuration frames, with fault injection for tests and benchmarks.
//
// Memories (device addresses of the commands that reach them):
//
//   memory        size                         commands
//   device info   33 bytes                     3
//   settings      5 x 64 bytes, record k at    5, 6   byte 0 (address 0) is
//                 address k*64                        the active profile index
//   main block    block size bytes             7
//   key memory    4*126 + block size bytes;    8, 9   key block k starts at
//                 a read/write moves the              k*126
//                 channel's whole block size
//   macro memory  device info byte 6 * 128     21
//   routine mem.  3072 bytes                   22, 23
//
// Reply frame: byte 0 = 4, bytes 1-2 checksum of bytes 3..63, bytes 3-6 echo
// the request's command, length and address, byte 7 status (kStatusAccepted,
// 0xFF unknown command / bad checksum / bad report id, 0xFE address or
// length out of range), read data from byte 8.
//
// Thread safety: every member function may be called from any thread; the
// model serialises itself with its own mutex. The notification callback is
// called without that mutex held.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "device/device_ids.h"

namespace trx::sim {

inline constexpr uint16_t kVendorId = trx::kFamilyVendorId;
inline constexpr uint16_t kMouseProductId = trx::kMouseProductId;
inline constexpr uint16_t kKeyboardProductId = trx::kKeyboardProductId;
inline constexpr uint16_t kKeyboardProductIdAlt1 = trx::kKeyboardProductIdFull;
inline constexpr uint16_t kKeyboardProductIdAlt2 = trx::kKeyboardProductIdV16;
inline constexpr uint16_t kMousePadProductId = trx::kMousePadProductId;

inline constexpr uint8_t kStatusAccepted = 0x01;
inline constexpr uint8_t kStatusBadRequest = 0xFF;
inline constexpr uint8_t kStatusOutOfRange = 0xFE;

// Consumer usages the device sends on its notification interface.
inline constexpr uint16_t kUsageProfileChanged = 0x401;
inline constexpr uint16_t kUsageSettingsChanged = 0x402;
inline constexpr uint16_t kUsageLighting = 0x403;

inline constexpr size_t kSimFrameSize = 64;
inline constexpr size_t kInfoSize = 33;
inline constexpr size_t kSettingsRecordStride = 64;
inline constexpr size_t kSettingsRecords = 5;
inline constexpr size_t kSettingsMemorySize = kSettingsRecordStride * kSettingsRecords;
inline constexpr size_t kKeyStride = 126;
inline constexpr size_t kRoutineMemorySize = 3072;

// Device information bytes.
inline constexpr size_t kInfoKeyBlockThirds = 5;  // keyboard: block size / 3
inline constexpr size_t kInfoMacroUnits = 6;      // macro memory in 128-byte units
inline constexpr size_t kInfoSensorId = 9;        // 16-bit LE
inline constexpr size_t kInfoDpiStep = 11;
inline constexpr size_t kInfoDpiMaxPosition = 12;
inline constexpr size_t kInfoDpiBase = 13;        // 16-bit LE

// Settings record bytes used by the device-side actions.
inline constexpr size_t kRecordProfile = 0;
inline constexpr size_t kRecordDpiLevels = 15;    // 4 slider positions
inline constexpr size_t kRecordCurrentDpi = 19;
inline constexpr size_t kRecordDpiColours = 21;   // 4 x RGB
inline constexpr int kDpiLevelCount = 4;

using SimFrame = std::array<uint8_t, kSimFrameSize>;

enum class SimKind { Mouse, Keyboard, MousePad };

// What the attachment does with one request.
struct SimResponse {
  bool reply = false;                  // send `frame` back
  SimFrame frame{};
  std::chrono::microseconds delay{0};  // extra wait before the reply is readable
  bool remove = false;                 // the device vanishes (after this request, unanswered)
};

// Faults, each counting down over the next requests.
struct SimFaults {
  int no_reply = 0;              // swallow the next N requests
  int status_count = 0;          // answer the next N requests with `status`
  uint8_t status = kStatusBadRequest;
  int delay_count = 0;           // delay the next N replies by `delay` (-1: all)
  std::chrono::microseconds delay{0};
  int remove_at_frame = 0;       // the N-th request from now is taken unanswered
                                 // and the device vanishes (0: never)
  // Latency model: time of one USB report. A write takes one report time and
  // its reply becomes readable one report time after that. 0: instant.
  std::chrono::microseconds report_time{0};
};

class SimFirmware {
 public:
  // product_id picks the keyboard variant; 0 means the kind's default.
  explicit SimFirmware(SimKind kind, uint16_t product_id = 0);

  SimKind Kind() const { return kind_; }
  uint16_t VendorId() const { return kVendorId; }
  uint16_t ProductId() const { return product_id_; }
  size_t BlockSize() const { return block_size_; }

  // Handles one request frame (report id first; shorter input is zero-padded).
  SimResponse HandleRequest(const uint8_t* request, size_t length);

  // --- fault injection
  void SetFaults(const SimFaults& faults);
  SimFaults Faults() const;
  std::chrono::microseconds ReportTime() const;

  // --- device-side actions (the buttons on the device)
  // Active profile index += 1 mod 5, then notification 0x401.
  void PressProfileButton();
  // Current DPI level of the active record cycles over the 4 levels, then 0x402.
  void PressDpiButton();
  // Sends a consumer notification (e.g. 0x403 after a lighting change).
  void Notify(uint16_t usage);
  // Where notifications go (set by the attachment).
  void SetNotifier(std::function<void(uint16_t usage)> notifier);

  // --- inspection and setup (tests, the command-line tool)
  std::vector<uint8_t> Info() const;
  std::vector<uint8_t> Settings() const;
  std::vector<uint8_t> MainBlock() const;
  std::vector<uint8_t> KeyMemory() const;
  std::vector<uint8_t> MacroMemory() const;
  std::vector<uint8_t> RoutineMemory() const;
  // Changing information byte 5 (keyboard block size) or 6 (macro memory)
  // re-derives the memory sizes and restores the factory contents.
  void SetInfoByte(size_t offset, uint8_t value);
  void SetSettingsByte(size_t address, uint8_t value);
  // --- the memory as one byte image, so a simulated device can remember
  // what was written to it between runs (--sim-state):
  //
  //   offset  size  field
  //   0       8     "TRXSIM01"
  //   8       1     kind (0 mouse, 1 keyboard, 2 mouse pad)
  //   9       2     product id, little endian
  //   11      ...   six sections, each a 4-byte little-endian length and
  //                 its bytes: information, settings, main block, key
  //                 memory, macro memory, routine memory
  std::vector<uint8_t> SaveMemory() const;
  // Restores an image SaveMemory made for this kind and product. False
  // (memory unchanged) for anything else: another kind, a cut or padded
  // image, section sizes that do not fit this device.
  bool LoadMemory(const std::vector<uint8_t>& image);
  // Every request frame received, in order.
  std::vector<SimFrame> Requests() const;
  size_t RequestCount() const;
  void ClearRequests();
  // Recording of requests is on by default; benchmarks turn it off.
  void SetRecording(bool on);

 private:
  void LoadFactory();
  void ApplyInfo();
  SimFrame Answer(const SimFrame& request);

  const SimKind kind_;
  const uint16_t product_id_;
  // Guards everything below; never held while calling the notifier.
  mutable std::mutex mutex_;
  size_t block_size_ = 512;
  std::vector<uint8_t> info_;
  std::vector<uint8_t> settings_;
  std::vector<uint8_t> main_block_;
  std::vector<uint8_t> keys_;
  std::vector<uint8_t> macro_;
  std::vector<uint8_t> routine_;
  std::vector<uint8_t> factory_settings_;
  std::vector<uint8_t> factory_keys_;
  SimFaults faults_;
  std::vector<SimFrame> requests_;
  bool recording_ = true;
  std::function<void(uint16_t)> notifier_;
};

// The factory contents (also useful to tests as the expected defaults).
std::vector<uint8_t> FactoryInfo(SimKind kind);
std::vector<uint8_t> FactorySettings(SimKind kind);
std::vector<uint8_t> FactoryMainBlock(size_t block_size);
std::vector<uint8_t> FactoryRoutineMemory();

}  // namespace trx::sim
