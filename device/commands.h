#pragma once
// The report protocol: the 64-byte frame, the retried exchange and one
// operation per command. Every operation returns a CommandResult, whose
// values are the protocol's result codes:
//
//    1  accepted (reads: data copied out)
//    0  channel not connected (nothing sent), or no reply within 4 attempts
//   -1  the write of a request failed or timed out (no retry)
// -102  the device replied with status 0xFF
// -103  the device replied with status 0xFE
// -201  key block index not below 5 (nothing sent)
//
// Any thread may call these; each exchange holds the channel lock for its
// whole request and reply (retries included), and drops input reports
// already queued before each request, so a late reply is never taken as the
// answer to a later request. When the transport reports the device gone,
// the exchange stops at once: -1 if the write failed, 0 if the device
// vanished while the reply was awaited. A failed chunked transfer leaves the
// destination bytes of the failed and later chunks unchanged; the connection
// is checked again before every chunk.
//
// Arguments that can't be framed are refused with -1 and nothing is sent:
// a single-frame read or write of more than 56 bytes, a null buffer with a
// non-zero length, a chunked transfer reaching past device address 0xFFFF.
// Every frame written and read is passed to the frame trace
// (device/frame_trace.h). A worker whose stop event is set (exchange_stop.h)
// gets NoReply from every exchange it starts, with nothing sent.

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/device_channel.h"

namespace trx {

// The command results. The values above are part of the device protocol's
// contract and are logged as numbers (CommandCode); CommandResultName
// describes one.
enum class CommandResult : int {
  Ok = 1,
  NoReply = 0,
  WriteFailed = -1,
  StatusFF = -102,
  StatusFE = -103,
  BadKeyIndex = -201,
};

// Short names of the same values.
inline constexpr CommandResult kResultOk = CommandResult::Ok;
inline constexpr CommandResult kResultNoReply = CommandResult::NoReply;
inline constexpr CommandResult kResultWriteFailed = CommandResult::WriteFailed;
inline constexpr CommandResult kResultStatusFF = CommandResult::StatusFF;
inline constexpr CommandResult kResultStatusFE = CommandResult::StatusFE;
inline constexpr CommandResult kResultBadKeyIndex = CommandResult::BadKeyIndex;

// The result's protocol code, for debug lines ("%d").
constexpr int CommandCode(CommandResult result) { return static_cast<int>(result); }

// A short English description of a command result ("no reply", ...), for
// logs and the command-line tool; "unknown result" for other values.
const char* CommandResultName(CommandResult result);

inline constexpr size_t kFrameSize = 64;
inline constexpr size_t kFramePayload = 56;
inline constexpr uint8_t kReportId = 4;
inline constexpr int kExchangeAttempts = 4;

// Frame byte offsets (requests and replies alike).
inline constexpr size_t kFrameReportId = 0;
inline constexpr size_t kFrameChecksumLo = 1;
inline constexpr size_t kFrameChecksumHi = 2;
inline constexpr size_t kFrameCommand = 3;
inline constexpr size_t kFrameLength = 4;
inline constexpr size_t kFrameAddressLo = 5;
inline constexpr size_t kFrameAddressHi = 6;
inline constexpr size_t kFrameStatus = 7;
inline constexpr size_t kFrameData = 8;

inline constexpr uint8_t kStatusFailure = 0xFF;
inline constexpr uint8_t kStatusFailure2 = 0xFE;

enum Command : uint8_t {
  kCmdBeginTransfer = 0x01,
  kCmdEndTransfer = 0x02,
  kCmdReadDeviceInfo = 0x03,
  kCmdReadSettings = 0x05,
  kCmdWriteSettings = 0x06,
  kCmdReadMainBlock = 0x07,
  kCmdReadKeyBlock = 0x08,
  kCmdWriteKeyBlock = 0x09,
  kCmdResetDefaults = 0x0D,
  kCmdWriteMacroMemory = 0x15,
  kCmdReadRoutineMemory = 0x16,
  kCmdWriteRoutineMemory = 0x17,
};

inline constexpr size_t kDeviceInfoSize = 33;
inline constexpr uint16_t kKeyBlockStride = 126;  // device address step per key block index
inline constexpr int kKeyBlockCount = 5;
inline constexpr int kEndTransferPauseMs = 10;

using Frame = std::array<uint8_t, kFrameSize>;

// Sum of bytes 3..63 modulo 65536.
uint16_t FrameChecksum(const Frame& frame);
// Builds a single frame; payload (n bytes, n <= 56) goes to bytes 8.. .
// The checksum is filled unless `with_checksum` is false (command 13).
Frame BuildFrame(uint8_t command, uint8_t length, uint16_t address, const uint8_t* payload = nullptr,
                 size_t payload_len = 0, bool with_checksum = true);

// The retried exchange: Ok, NoReply or WriteFailed; no status interpretation.
CommandResult Exchange(CDeviceChannel& channel, const Frame& request, Frame& reply);
// One write and one read, no retry; Ok or NoReply. (Reset to defaults.)
CommandResult ExchangeOnce(CDeviceChannel& channel, const Frame& request);

CommandResult BeginTransfer(CDeviceChannel& channel);
CommandResult EndTransfer(CDeviceChannel& channel);  // sleeps 10 ms first (not when disconnected)
CommandResult ReadDeviceInformation(CDeviceChannel& channel, uint8_t* destination /*33 bytes*/);
CommandResult ReadSettingsBytes(CDeviceChannel& channel, uint16_t address, uint8_t* destination, size_t n /*<=56*/);
CommandResult WriteSettingsBytes(CDeviceChannel& channel, uint16_t address, const uint8_t* source, size_t n /*<=56*/);
CommandResult ReadMainBlock(CDeviceChannel& channel, uint8_t* destination /*block_size bytes*/);
CommandResult ReadKeyBlock(CDeviceChannel& channel, int index, uint8_t* destination /*block_size bytes*/);
CommandResult WriteKeyBlock(CDeviceChannel& channel, int index, const uint8_t* source /*block_size bytes*/);
CommandResult ResetToDefaults(CDeviceChannel& channel);
CommandResult WriteMacroMemory(CDeviceChannel& channel, const uint8_t* source, size_t n);
CommandResult ReadRoutineMemory(CDeviceChannel& channel, uint8_t* destination, size_t n);
CommandResult WriteRoutineMemory(CDeviceChannel& channel, const uint8_t* source, size_t n);

}  // namespace trx
