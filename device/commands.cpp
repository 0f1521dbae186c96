#include "device/commands.h"

#include <cstring>
#include <mutex>

#include "device/exchange_guard.h"
#include "device/exchange_stop.h"
#include "device/frame_trace.h"
#include "device/precise_sleep.h"

namespace trx {

const char* CommandResultName(CommandResult result) {
  switch (result) {
    case CommandResult::Ok: return "accepted";
    case CommandResult::NoReply: return "no reply (device not connected or not answering)";
    case CommandResult::WriteFailed: return "the request could not be written";
    case CommandResult::StatusFF: return "the device refused the request (status 0xFF)";
    case CommandResult::StatusFE: return "the device refused the request (status 0xFE)";
    case CommandResult::BadKeyIndex: return "key block index out of range";
  }
  return "unknown result";
}
namespace {

// Request frame, 64 bytes, little-endian:
//
//   byte   field
//   0      report id (4)
//   1-2    checksum: sum of bytes 3..63 modulo 65536 (not for command 13)
//   3      command
//   4      payload length of this frame
//   5-6    device address
//   7      status (0 in requests; 0xFF / 0xFE = failure in replies)
//   8..63  payload, up to 56 bytes

// Maps the status byte of an accepted reply to a result code.
CommandResult StatusResult(const Frame& reply) {
  if (reply[kFrameStatus] == kStatusFailure) return kResultStatusFF;
  if (reply[kFrameStatus] == kStatusFailure2) return kResultStatusFE;
  return kResultOk;
}

// One write and one read on the transport. Caller holds the channel lock.
// Ok when a reply arrived, NoReply when none came (timeout or the device
// vanished while waiting), WriteFailed when the write failed.
CommandResult WriteThenRead(CDeviceChannel& channel, const Frame& request, Frame& reply) {
  CHidDevice& hid = channel.transport;
  // A reply that arrived after an earlier exchange gave up on it would
  // otherwise be taken as the answer to this request.
  hid.DrainInput();
  TraceFrame(channel.kind, '>', request.data(), request.size());
  size_t written = 0;
  if (!hid.WriteReport(request.data(), request.size(), &written)) return kResultWriteFailed;
  Frame incoming{};
  size_t got = 0;
  if (!hid.ReadReport(incoming.data(), incoming.size(), channel.reply_timeout_ms, &got)) return kResultNoReply;
  TraceFrame(channel.kind, '<', incoming.data(), incoming.size());
  reply = incoming;
  return kResultOk;
}

// A single-frame command with status interpretation; for reads the payload
// (n bytes) is copied to destination on success.
CommandResult SingleFrameCommand(CDeviceChannel& channel, const Frame& request, uint8_t* destination, size_t n) {
  Frame reply{};
  CommandResult result = Exchange(channel, request, reply);
  if (result != kResultOk) return result;
  result = StatusResult(reply);
  if (result == kResultOk && destination != nullptr && n > 0) std::memcpy(destination, reply.data() + kFrameData, n);
  return result;
}

// Chunked transfer of `total` bytes in frames of at most 56 bytes at device
// addresses base + offset. Exactly one of source (writes) or destination
// (reads) is non-null. The connection is checked again before every chunk;
// the first result other than Ok ends the transfer and is returned, leaving
// later destination bytes untouched.
CommandResult ChunkedTransfer(CDeviceChannel& channel, uint8_t command, uint16_t base, size_t total, const uint8_t* source,
                    uint8_t* destination) {
  if (total == 0) return kResultOk;
  // Addresses are 16-bit: a transfer that would run past them can't be framed.
  if (static_cast<size_t>(base) + total > 0x10000u) return kResultWriteFailed;
  for (size_t offset = 0; offset < total; offset += kFramePayload) {
    if (!channel.connected.load()) return kResultNoReply;
    const size_t chunk = offset + kFramePayload < total ? kFramePayload : total - offset;
    const uint16_t address = static_cast<uint16_t>(base + offset);
    Frame request = BuildFrame(command, static_cast<uint8_t>(chunk), address,
                               source != nullptr ? source + offset : nullptr, source != nullptr ? chunk : 0);
    Frame reply{};
    CommandResult result = Exchange(channel, request, reply);
    if (result == kResultOk) result = StatusResult(reply);
    if (result != kResultOk) return result;
    if (destination != nullptr) std::memcpy(destination + offset, reply.data() + kFrameData, chunk);
  }
  return kResultOk;
}

bool ValidKeyIndex(int index) { return index >= 0 && index < kKeyBlockCount; }

}  // namespace

uint16_t FrameChecksum(const Frame& frame) {
  uint32_t sum = 0;
  for (size_t i = kFrameCommand; i < kFrameSize; ++i) sum += frame[i];
  return static_cast<uint16_t>(sum & 0xFFFFu);
}

Frame BuildFrame(uint8_t command, uint8_t length, uint16_t address, const uint8_t* payload, size_t payload_len,
                 bool with_checksum) {
  Frame frame{};
  frame[kFrameReportId] = kReportId;
  frame[kFrameCommand] = command;
  frame[kFrameLength] = length;
  frame[kFrameAddressLo] = static_cast<uint8_t>(address & 0xFF);
  frame[kFrameAddressHi] = static_cast<uint8_t>(address >> 8);
  frame[kFrameStatus] = 0;
  if (payload != nullptr && payload_len > 0) {
    std::memcpy(frame.data() + kFrameData, payload, payload_len < kFramePayload ? payload_len : kFramePayload);
  }
  if (with_checksum) {
    const uint16_t sum = FrameChecksum(frame);
    frame[kFrameChecksumLo] = static_cast<uint8_t>(sum & 0xFF);
    frame[kFrameChecksumHi] = static_cast<uint8_t>(sum >> 8);
  }
  return frame;
}

CommandResult Exchange(CDeviceChannel& channel, const Frame& request, Frame& reply) {
  CheckExchangeThread();
  if (!channel.connected.load()) return kResultNoReply;
  const Frame send = request;
  // Held for the whole exchange, retries included, so that two threads'
  // requests and replies never interleave on the handle.
  std::lock_guard<std::recursive_mutex> guard(channel.lock);
  // The presence thread may have seen the device go while this thread
  // waited for the lock.
  if (!channel.connected.load()) return kResultNoReply;
  for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
    // Shutdown: the sequence this exchange belongs to ends here.
    if (ExchangeStopRequested()) return kResultNoReply;
    const CommandResult result = WriteThenRead(channel, send, reply);
    if (result != kResultNoReply) return result;  // Ok, or WriteFailed
    // A vanished device will not answer a repeated request either.
    if (channel.transport.LastIo() == HidIo::Gone) return kResultNoReply;
  }
  return kResultNoReply;
}

CommandResult ExchangeOnce(CDeviceChannel& channel, const Frame& request) {
  CheckExchangeThread();
  if (!channel.connected.load() || ExchangeStopRequested()) return kResultNoReply;
  std::lock_guard<std::recursive_mutex> guard(channel.lock);
  Frame copy = request;
  CHidDevice& hid = channel.transport;
  hid.DrainInput();
  TraceFrame(channel.kind, '>', copy.data(), copy.size());
  size_t written = 0;
  if (!hid.WriteReport(copy.data(), copy.size(), &written) && hid.LastIo() == HidIo::Gone) {
    return kResultNoReply;  // the write's own result is not used, but a gone device can't reply
  }
  size_t got = 0;
  if (!hid.ReadReport(copy.data(), copy.size(), channel.reply_timeout_ms, &got)) return kResultNoReply;
  TraceFrame(channel.kind, '<', copy.data(), copy.size());
  return kResultOk;
}

CommandResult BeginTransfer(CDeviceChannel& channel) {
  const CommandResult result = SingleFrameCommand(channel, BuildFrame(kCmdBeginTransfer, 0, 0), nullptr, 0);
  if (result == kResultOk) channel.transfer_open = true;
  return result;
}

CommandResult EndTransfer(CDeviceChannel& channel) {
  if (!channel.connected.load()) return kResultNoReply;
  // The device needs a moment after the last data frame of a sequence.
  SleepForPrecise(std::chrono::milliseconds(kEndTransferPauseMs));
  channel.transfer_open = false;
  return SingleFrameCommand(channel, BuildFrame(kCmdEndTransfer, 0, 0), nullptr, 0);
}

CommandResult ReadDeviceInformation(CDeviceChannel& channel, uint8_t* destination) {
  if (destination == nullptr) return kResultWriteFailed;
  return SingleFrameCommand(channel, BuildFrame(kCmdReadDeviceInfo, kDeviceInfoSize, 0), destination,
                            kDeviceInfoSize);
}

CommandResult ReadSettingsBytes(CDeviceChannel& channel, uint16_t address, uint8_t* destination, size_t n) {
  // More than one frame's payload can't be asked for: refused, nothing sent.
  if (n > kFramePayload || (destination == nullptr && n > 0)) return kResultWriteFailed;
  return SingleFrameCommand(channel, BuildFrame(kCmdReadSettings, static_cast<uint8_t>(n), address), destination, n);
}

CommandResult WriteSettingsBytes(CDeviceChannel& channel, uint16_t address, const uint8_t* source, size_t n) {
  if (n > kFramePayload || (source == nullptr && n > 0)) return kResultWriteFailed;
  channel.BeforeWrite();
  channel.follows_synchronised_lighting = 0;
  return SingleFrameCommand(channel, BuildFrame(kCmdWriteSettings, static_cast<uint8_t>(n), address, source, n),
                            nullptr, 0);
}

CommandResult ReadMainBlock(CDeviceChannel& channel, uint8_t* destination) {
  if (destination == nullptr) return kResultWriteFailed;
  return ChunkedTransfer(channel, kCmdReadMainBlock, 0, channel.block_size, nullptr, destination);
}

CommandResult ReadKeyBlock(CDeviceChannel& channel, int index, uint8_t* destination) {
  if (!ValidKeyIndex(index)) return kResultBadKeyIndex;
  if (destination == nullptr) return kResultWriteFailed;
  return ChunkedTransfer(channel, kCmdReadKeyBlock, static_cast<uint16_t>(index * kKeyBlockStride), channel.block_size,
                         nullptr, destination);
}

CommandResult WriteKeyBlock(CDeviceChannel& channel, int index, const uint8_t* source) {
  if (!ValidKeyIndex(index)) return kResultBadKeyIndex;
  if (source == nullptr) return kResultWriteFailed;
  channel.BeforeWrite();
  return ChunkedTransfer(channel, kCmdWriteKeyBlock, static_cast<uint16_t>(index * kKeyBlockStride), channel.block_size,
                         source, nullptr);
}

CommandResult ResetToDefaults(CDeviceChannel& channel) {
  channel.BeforeWrite();
  return ExchangeOnce(channel, BuildFrame(kCmdResetDefaults, 0, 0, nullptr, 0, /*with_checksum=*/false));
}

CommandResult WriteMacroMemory(CDeviceChannel& channel, const uint8_t* source, size_t n) {
  if (source == nullptr && n > 0) return kResultWriteFailed;
  if (n > 0) channel.BeforeWrite();
  return ChunkedTransfer(channel, kCmdWriteMacroMemory, 0, n, source, nullptr);
}

CommandResult ReadRoutineMemory(CDeviceChannel& channel, uint8_t* destination, size_t n) {
  if (destination == nullptr && n > 0) return kResultWriteFailed;
  return ChunkedTransfer(channel, kCmdReadRoutineMemory, 0, n, nullptr, destination);
}

CommandResult WriteRoutineMemory(CDeviceChannel& channel, const uint8_t* source, size_t n) {
  if (source == nullptr && n > 0) return kResultWriteFailed;
  if (n > 0) channel.BeforeWrite();
  return ChunkedTransfer(channel, kCmdWriteRoutineMemory, 0, n, source, nullptr);
}

}  // namespace trx
