#include "sim/firmware_model.h"

#include <algorithm>
#include <cstring>

namespace trx::sim {
namespace {

// Frame bytes (requests and replies).
constexpr size_t kReportIdByte = 0;
constexpr size_t kChecksumLo = 1;
constexpr size_t kChecksumHi = 2;
constexpr size_t kCommand = 3;
constexpr size_t kLength = 4;
constexpr size_t kAddressLo = 5;
constexpr size_t kAddressHi = 6;
constexpr size_t kStatus = 7;
constexpr size_t kData = 8;
constexpr size_t kMaxPayload = 56;
constexpr uint8_t kFrameReportId = 4;

constexpr uint8_t kCmdBegin = 0x01;
constexpr uint8_t kCmdEnd = 0x02;
constexpr uint8_t kCmdInfo = 0x03;
constexpr uint8_t kCmdReadSettings = 0x05;
constexpr uint8_t kCmdWriteSettings = 0x06;
constexpr uint8_t kCmdReadMain = 0x07;
constexpr uint8_t kCmdReadKeys = 0x08;
constexpr uint8_t kCmdWriteKeys = 0x09;
constexpr uint8_t kCmdReset = 0x0D;
constexpr uint8_t kCmdWriteMacro = 0x15;
constexpr uint8_t kCmdReadRoutine = 0x16;
constexpr uint8_t kCmdWriteRoutine = 0x17;

constexpr uint8_t kFillerKey = 0x05;  // "no function" filler of key blocks
constexpr uint8_t kMacroUnitsDefault = 32;  // 4096 bytes of macro memory
constexpr uint8_t kKeyboardBlockThirds = 126;  // block size 378

uint16_t Checksum(const SimFrame& f) {
  uint32_t sum = 0;
  for (size_t i = kCommand; i < kSimFrameSize; ++i) sum += f[i];
  return static_cast<uint16_t>(sum & 0xFFFF);
}

void Put16(std::vector<uint8_t>& v, size_t at, uint16_t value) {
  v[at] = static_cast<uint8_t>(value & 0xFF);
  v[at + 1] = static_cast<uint8_t>(value >> 8);
}

// Copies a range of `memory` into the reply, or writes the request payload
// into it. False when [address, address + length) leaves the memory.
bool InRange(const std::vector<uint8_t>& memory, size_t address, size_t length) {
  return address <= memory.size() && length <= memory.size() - address;
}

}  // namespace

// Device information (33 bytes):
//
//   byte   mouse                       keyboard            pad
//   0      firmware version (1)        1                   1
//   5      -                           block size / 3      -
//   6      macro memory / 128 (32)     32                  0
//   9-10   sensor id LE (0x3325)       -                   -
//   11     DPI step (50)               -                   -
//   12     highest DPI position (196)  -                   -
//   13-14  DPI base LE (200)           -                   -
std::vector<uint8_t> FactoryInfo(SimKind kind) {
  std::vector<uint8_t> info(kInfoSize, 0);
  info[0] = 1;
  switch (kind) {
    case SimKind::Mouse:
      info[kInfoMacroUnits] = kMacroUnitsDefault;
      Put16(info, kInfoSensorId, 0x3325);
      info[kInfoDpiStep] = 50;
      info[kInfoDpiMaxPosition] = 196;
      Put16(info, kInfoDpiBase, 200);
      break;
    case SimKind::Keyboard:
      info[kInfoKeyBlockThirds] = kKeyboardBlockThirds;
      info[kInfoMacroUnits] = kMacroUnitsDefault;
      break;
    case SimKind::MousePad:
      break;
  }
  return info;
}

// Settings record k (bytes of the 64-byte slot at k*64):
//
//   byte   value
//   0      k (record 0's byte 0 is also the active profile index)
//   1      light mode 1 (lit)
//   2      brightness 4
//   3      speed 7
//   4      direction 0
//   5      colour cycle: 1 for record 0, else 0
//   6-8    light colour, a different one per record
//   14     report rate index 3
//   15-18  DPI positions 12, 28, 60, 124 (800/1600/3200/6400 with base 200, step 50)
//   19     current DPI level 1
//   21-32  DPI colours red, green, blue, yellow
//   others 0
std::vector<uint8_t> FactorySettings(SimKind /*kind*/) {
  static const uint8_t kLightColours[kSettingsRecords][3] = {
      {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0x00, 0x00, 0xFF}, {0xFF, 0xFF, 0x00}, {0xFF, 0x00, 0xFF}};
  static const uint8_t kDpiPositions[kDpiLevelCount] = {12, 28, 60, 124};
  static const uint8_t kDpiColours[kDpiLevelCount][3] = {
      {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0x00, 0x00, 0xFF}, {0xFF, 0xFF, 0x00}};
  std::vector<uint8_t> settings(kSettingsMemorySize, 0);
  for (size_t k = 0; k < kSettingsRecords; ++k) {
    uint8_t* r = settings.data() + k * kSettingsRecordStride;
    r[kRecordProfile] = static_cast<uint8_t>(k);
    r[1] = 1;
    r[2] = 4;
    r[3] = 7;
    r[4] = 0;
    r[5] = k == 0 ? 1 : 0;
    std::memcpy(r + 6, kLightColours[k], 3);
    r[14] = 3;
    std::memcpy(r + kRecordDpiLevels, kDpiPositions, kDpiLevelCount);
    r[kRecordCurrentDpi] = 1;
    for (int level = 0; level < kDpiLevelCount; ++level) std::memcpy(r + kRecordDpiColours + 3 * level, kDpiColours[level], 3);
  }
  return settings;
}

// Main block: 3-byte key entries; the six factory entries, 0x05 filler up
// to byte block-3, two zero bytes at the end.
std::vector<uint8_t> FactoryMainBlock(size_t block_size) {
  static const uint8_t kEntries[] = {0x10, 0x01, 0x00, 0x10, 0x04, 0x00, 0x10, 0x02, 0x00,
                                     0x10, 0x10, 0x00, 0x10, 0x08, 0x00, 0x13, 0x03, 0x00};
  std::vector<uint8_t> block(block_size, kFillerKey);
  std::memcpy(block.data(), kEntries, std::min(sizeof kEntries, block_size));
  if (block_size >= 2) {
    block[block_size - 2] = 0;
    block[block_size - 1] = 0;
  }
  return block;
}

// Routine memory image: u16 0x55AA, u16 total size, u16 count (4), 10
// reserved bytes, the offset table, then one empty record (u16 action count
// 0, u16 reserved) per routine. Total 16 + 4*6 = 40 bytes.
std::vector<uint8_t> FactoryRoutineMemory() {
  std::vector<uint8_t> memory(kRoutineMemorySize, 0);
  constexpr uint16_t kRoutines = 4;
  constexpr uint16_t kTotal = 16 + 6 * kRoutines;
  Put16(memory, 0, 0x55AA);
  Put16(memory, 2, kTotal);
  Put16(memory, 4, kRoutines);
  for (uint16_t i = 0; i < kRoutines; ++i) Put16(memory, 16 + 2 * i, static_cast<uint16_t>(16 + 2 * kRoutines + 4 * i));
  return memory;
}

SimFirmware::SimFirmware(SimKind kind, uint16_t product_id)
    : kind_(kind),
      product_id_(product_id != 0 ? product_id
                                  : kind == SimKind::Mouse      ? kMouseProductId
                                  : kind == SimKind::Keyboard   ? kKeyboardProductId
                                                                : kMousePadProductId) {
  info_ = FactoryInfo(kind_);
  ApplyInfo();
  LoadFactory();
  main_block_ = FactoryMainBlock(block_size_);
  routine_ = FactoryRoutineMemory();
}

// Derives the memory sizes from the device information.
void SimFirmware::ApplyInfo() {
  if (kind_ == SimKind::Keyboard) block_size_ = static_cast<size_t>(info_[kInfoKeyBlockThirds]) * 3;
  macro_.assign(static_cast<size_t>(info_[kInfoMacroUnits]) * 128, 0);
  if (macro_.size() >= 16) {
    Put16(macro_, 0, 0x55AA);
    Put16(macro_, 2, 16);
  }
}

void SimFirmware::LoadFactory() {
  factory_settings_ = FactorySettings(kind_);
  // Each key block starts as the factory assignments; the rest of the key
  // memory carries the filler. The mouse has one block per onboard profile,
  // its buttons at the start of each 126-byte step; the keyboard has one,
  // block 0, the whole main block (copies at the later steps would land on
  // its keys 42 and on).
  std::vector<uint8_t> main = FactoryMainBlock(block_size_);
  factory_keys_.assign((kSettingsRecords - 1) * kKeyStride + block_size_, kFillerKey);
  if (kind_ == SimKind::Keyboard) {
    std::memcpy(factory_keys_.data(), main.data(), main.size());
  } else {
    for (size_t k = 0; k < kSettingsRecords; ++k)
      std::memcpy(factory_keys_.data() + k * kKeyStride, main.data(), std::min(kKeyStride, main.size()));
  }
  settings_ = factory_settings_;
  keys_ = factory_keys_;
}

SimFrame SimFirmware::Answer(const SimFrame& request) {
  SimFrame reply{};
  reply[kReportIdByte] = kFrameReportId;
  for (size_t i = kCommand; i <= kAddressHi; ++i) reply[i] = request[i];
  const uint8_t command = request[kCommand];
  const size_t length = request[kLength];
  const size_t address = static_cast<size_t>(request[kAddressLo]) | (static_cast<size_t>(request[kAddressHi]) << 8);
  uint8_t status = kStatusAccepted;

  const bool checksum_ok = request[kChecksumLo] == (Checksum(request) & 0xFF) &&
                           request[kChecksumHi] == (Checksum(request) >> 8);
  auto read_from = [&](const std::vector<uint8_t>& memory) {
    if (length > kMaxPayload || !InRange(memory, address, length)) {
      status = kStatusOutOfRange;
      return;
    }
    std::memcpy(reply.data() + kData, memory.data() + address, length);
  };
  auto write_to = [&](std::vector<uint8_t>& memory) {
    if (length > kMaxPayload || !InRange(memory, address, length)) {
      status = kStatusOutOfRange;
      return;
    }
    std::memcpy(memory.data() + address, request.data() + kData, length);
  };

  if (request[kReportIdByte] != kFrameReportId) {
    status = kStatusBadRequest;
  } else if (command == kCmdReset) {
    // Reset carries no checksum.
    settings_ = factory_settings_;
    keys_ = factory_keys_;
  } else if (!checksum_ok) {
    status = kStatusBadRequest;
  } else {
    switch (command) {
      case kCmdBegin:
      case kCmdEnd:
        break;
      case kCmdInfo:
        std::memcpy(reply.data() + kData, info_.data(), kInfoSize);
        break;
      case kCmdReadSettings:
        read_from(settings_);
        break;
      case kCmdWriteSettings:
        write_to(settings_);
        break;
      case kCmdReadMain:
        read_from(main_block_);
        break;
      case kCmdReadKeys:
        read_from(keys_);
        break;
      case kCmdWriteKeys:
        write_to(keys_);
        break;
      case kCmdWriteMacro:
        write_to(macro_);
        break;
      case kCmdReadRoutine:
        read_from(routine_);
        break;
      case kCmdWriteRoutine:
        write_to(routine_);
        break;
      default:
        status = kStatusBadRequest;
        break;
    }
  }
  reply[kStatus] = status;
  const uint16_t sum = Checksum(reply);
  reply[kChecksumLo] = static_cast<uint8_t>(sum & 0xFF);
  reply[kChecksumHi] = static_cast<uint8_t>(sum >> 8);
  return reply;
}

SimResponse SimFirmware::HandleRequest(const uint8_t* request, size_t length) {
  SimFrame frame{};
  std::memcpy(frame.data(), request, std::min(length, kSimFrameSize));
  std::lock_guard<std::mutex> guard(mutex_);
  if (recording_) requests_.push_back(frame);
  SimResponse response;
  if (faults_.remove_at_frame > 0 && --faults_.remove_at_frame == 0) {
    response.remove = true;
    return response;
  }
  if (faults_.no_reply > 0) {
    --faults_.no_reply;
    return response;
  }
  response.reply = true;
  response.frame = Answer(frame);
  if (faults_.status_count > 0) {
    --faults_.status_count;
    response.frame[kStatus] = faults_.status;
  }
  if (faults_.delay_count != 0) {
    if (faults_.delay_count > 0) --faults_.delay_count;
    response.delay = faults_.delay;
  }
  return response;
}

void SimFirmware::SetFaults(const SimFaults& faults) {
  std::lock_guard<std::mutex> guard(mutex_);
  faults_ = faults;
}

SimFaults SimFirmware::Faults() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return faults_;
}

std::chrono::microseconds SimFirmware::ReportTime() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return faults_.report_time;
}

void SimFirmware::PressProfileButton() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    settings_[kRecordProfile] = static_cast<uint8_t>((settings_[kRecordProfile] + 1) % kSettingsRecords);
  }
  Notify(kUsageProfileChanged);
}

void SimFirmware::PressDpiButton() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    const size_t active = settings_[kRecordProfile] % kSettingsRecords;
    uint8_t& level = settings_[active * kSettingsRecordStride + kRecordCurrentDpi];
    level = static_cast<uint8_t>((level + 1) % kDpiLevelCount);
  }
  Notify(kUsageSettingsChanged);
}

void SimFirmware::Notify(uint16_t usage) {
  std::function<void(uint16_t)> notifier;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    notifier = notifier_;
  }
  if (notifier) notifier(usage);
}

void SimFirmware::SetNotifier(std::function<void(uint16_t usage)> notifier) {
  std::lock_guard<std::mutex> guard(mutex_);
  notifier_ = std::move(notifier);
}

std::vector<uint8_t> SimFirmware::Info() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return info_;
}
std::vector<uint8_t> SimFirmware::Settings() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return settings_;
}
std::vector<uint8_t> SimFirmware::MainBlock() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return main_block_;
}
std::vector<uint8_t> SimFirmware::KeyMemory() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return keys_;
}
std::vector<uint8_t> SimFirmware::MacroMemory() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return macro_;
}
std::vector<uint8_t> SimFirmware::RoutineMemory() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return routine_;
}

void SimFirmware::SetInfoByte(size_t offset, uint8_t value) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (offset >= info_.size()) return;
  info_[offset] = value;
  if (offset == kInfoMacroUnits || offset == kInfoKeyBlockThirds) {
    ApplyInfo();
    main_block_ = FactoryMainBlock(block_size_);
    LoadFactory();
  }
}

namespace {
constexpr char kMemoryMagic[8] = {'T', 'R', 'X', 'S', 'I', 'M', '0', '1'};
constexpr size_t kMemoryHeader = 11;
}  // namespace

std::vector<uint8_t> SimFirmware::SaveMemory() const {
  std::lock_guard<std::mutex> guard(mutex_);
  std::vector<uint8_t> out(kMemoryMagic, kMemoryMagic + 8);
  out.push_back(static_cast<uint8_t>(kind_));
  out.push_back(static_cast<uint8_t>(product_id_));
  out.push_back(static_cast<uint8_t>(product_id_ >> 8));
  for (const std::vector<uint8_t>* section : {&info_, &settings_, &main_block_, &keys_, &macro_, &routine_}) {
    const uint32_t n = static_cast<uint32_t>(section->size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
    out.insert(out.end(), section->begin(), section->end());
  }
  return out;
}

bool SimFirmware::LoadMemory(const std::vector<uint8_t>& image) {
  if (image.size() < kMemoryHeader || !std::equal(kMemoryMagic, kMemoryMagic + 8, image.begin())) return false;
  if (image[8] != static_cast<uint8_t>(kind_) || (image[9] | (image[10] << 8)) != product_id_) return false;
  std::vector<std::vector<uint8_t>> sections;
  size_t at = kMemoryHeader;
  for (int s = 0; s < 6; ++s) {
    if (image.size() - at < 4) return false;
    const size_t n = image[at] | (image[at + 1] << 8) | (image[at + 2] << 16) | (static_cast<size_t>(image[at + 3]) << 24);
    at += 4;
    if (image.size() - at < n) return false;
    sections.emplace_back(image.begin() + static_cast<long>(at), image.begin() + static_cast<long>(at + n));
    at += n;
  }
  if (at != image.size()) return false;
  std::lock_guard<std::mutex> guard(mutex_);
  // The sizes must be the ones the stored information gives for this
  // device: anything else would make the firmware read or write past its
  // memory.
  const std::vector<uint8_t>& info = sections[0];
  if (info.size() != info_.size()) return false;
  const size_t block = kind_ == SimKind::Keyboard ? static_cast<size_t>(info[kInfoKeyBlockThirds]) * 3 : block_size_;
  const bool sizes_fit = sections[1].size() == settings_.size() && sections[2].size() == block &&
                         sections[3].size() == (kSettingsRecords - 1) * kKeyStride + block &&
                         sections[4].size() == static_cast<size_t>(info[kInfoMacroUnits]) * 128 &&
                         sections[5].size() == routine_.size();
  if (!sizes_fit) return false;
  block_size_ = block;
  info_ = std::move(sections[0]);
  settings_ = std::move(sections[1]);
  main_block_ = std::move(sections[2]);
  keys_ = std::move(sections[3]);
  macro_ = std::move(sections[4]);
  routine_ = std::move(sections[5]);
  return true;
}

void SimFirmware::SetSettingsByte(size_t address, uint8_t value) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (address < settings_.size()) settings_[address] = value;
}

std::vector<SimFrame> SimFirmware::Requests() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return requests_;
}
size_t SimFirmware::RequestCount() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return requests_.size();
}
void SimFirmware::ClearRequests() {
  std::lock_guard<std::mutex> guard(mutex_);
  requests_.clear();
}
void SimFirmware::SetRecording(bool on) {
  std::lock_guard<std::mutex> guard(mutex_);
  recording_ = on;
}

}  // namespace trx::sim
