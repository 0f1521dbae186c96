#pragma once
// The OpenRGB SDK network protocol as byte arrays: packet headers, the
// controller description a client asks for, and the requests it sends.
// Pure functions over bytes; no sockets, no device knowledge. Any thread.
//
// Every integer is little-endian. Every packet is a 16-byte header and
// `size` bytes of payload:
//
//   offset size field
//   0      4    magic "ORGB"
//   4      4    device index (u32; the controller a request is for)
//   8      4    packet id (u32; PacketId)
//   12     4    payload size (u32)
//
// Payloads this program reads (client to server) and writes (server to
// client); "v" is the protocol version the two sides agreed on:
//
//   id    name                       client payload              server answer
//   0     REQUEST_CONTROLLER_COUNT   -                           u32 count
//   1     REQUEST_CONTROLLER_DATA    v>=1: u32 version           controller description (below)
//   40    REQUEST_PROTOCOL_VERSION   u32 client's highest        u32 min(client's, ours)
//   50    SET_CLIENT_NAME            name, NUL-terminated        -
//   100   DEVICE_LIST_UPDATED        (server only)               empty, sent on plug/unplug
//   150   REQUEST_PROFILE_LIST       -                           u32 size, u16 0 (no profiles)
//   151-153 profile save/load/delete name                        - (ignored)
//   200   REQUEST_PLUGIN_LIST        -                           u32 size, u16 0 (no plugins)
//   1000  RESIZEZONE                 i32 zone, i32 size          - (ignored: fixed zones)
//   1050  UPDATELEDS                 u32 size, u16 n, n x colour -
//   1051  UPDATEZONELEDS             u32 size, u32 zone, u16 n, n x colour
//   1052  UPDATESINGLELED            i32 led, colour             -
//   1100  SETCUSTOMMODE              -                           -
//   1101  UPDATEMODE                 u32 size, i32 mode, mode    -
//   1102  SAVEMODE                   as UPDATEMODE               -
//
// A colour is 4 bytes: red, green, blue, 0 (the u32 0x00BBGGRR).
// A string is u16 length (NUL included), the characters, NUL.
//
// Controller description (answer to 1): u32 total size (itself included),
// then
//
//   i32 type | str name | v>=1: str vendor | str description | str version
//   | str serial | str location | u16 mode count | i32 active mode
//   | modes | u16 zone count | zones | u16 LED count | LEDs
//   | u16 colour count | colours
//
//   mode:  str name | i32 value | u32 flags | u32 speed min | u32 speed max
//          | v>=3: u32 brightness min, u32 brightness max | u32 colours min
//          | u32 colours max | u32 speed | v>=3: u32 brightness
//          | u32 direction | u32 colour mode | u16 n | n x colour
//   zone:  str name | i32 type | u32 LEDs min | u32 LEDs max | u32 LED count
//          | u16 matrix bytes (0: none) [u32 height, u32 width,
//          height x width x u32 LED or 0xFFFFFFFF] | v>=4: u16 segment
//          count (always 0 here)
//   LED:   str name | u32 value
//
// Result codes: HeaderResult, DecodeResult (named enums, no exceptions).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace trx::openrgb {

inline constexpr size_t kHeaderSize = 16;
// Versions served: 0 to 4; a client that offers more gets 4.
inline constexpr uint32_t kMaxProtocolVersion = 4;
// The largest payload accepted; a keyboard's UPDATELEDS is 510 bytes.
inline constexpr uint32_t kMaxPayload = 64 * 1024;

enum class PacketId : uint32_t {
  RequestControllerCount = 0,
  RequestControllerData = 1,
  RequestProtocolVersion = 40,
  SetClientName = 50,
  DeviceListUpdated = 100,
  RequestProfileList = 150,
  RequestSaveProfile = 151,
  RequestLoadProfile = 152,
  RequestDeleteProfile = 153,
  RequestPluginList = 200,
  ResizeZone = 1000,
  UpdateLeds = 1050,
  UpdateZoneLeds = 1051,
  UpdateSingleLed = 1052,
  SetCustomMode = 1100,
  UpdateMode = 1101,
  SaveMode = 1102,
};

// Mode flags, colour modes, directions, device and zone types.
inline constexpr uint32_t kModeHasSpeed = 1u << 0;
inline constexpr uint32_t kModeHasDirectionLR = 1u << 1;
inline constexpr uint32_t kModeHasDirectionUD = 1u << 2;
inline constexpr uint32_t kModeHasBrightness = 1u << 4;
inline constexpr uint32_t kModeHasPerLedColor = 1u << 5;
inline constexpr uint32_t kModeHasModeSpecificColor = 1u << 6;
inline constexpr uint32_t kModeHasRandomColor = 1u << 7;
enum class ColourMode : uint32_t { None = 0, PerLed = 1, ModeSpecific = 2, Random = 3 };
enum class Direction : uint32_t { Left = 0, Right = 1, Up = 2, Down = 3 };
enum class ControllerType : int32_t { Keyboard = 5, Mouse = 6, Mousemat = 7 };
enum class ZoneType : int32_t { Single = 0, Linear = 1, Matrix = 2 };
inline constexpr uint32_t kNoLed = 0xFFFFFFFFu;

// 0x00BBGGRR from red, green, blue and back.
inline constexpr uint32_t Colour(uint8_t r, uint8_t g, uint8_t b) { return uint32_t{b} << 16 | uint32_t{g} << 8 | r; }
inline constexpr uint8_t Red(uint32_t c) { return static_cast<uint8_t>(c); }
inline constexpr uint8_t Green(uint32_t c) { return static_cast<uint8_t>(c >> 8); }
inline constexpr uint8_t Blue(uint32_t c) { return static_cast<uint8_t>(c >> 16); }

struct PacketHeader {
  uint32_t device = 0;
  uint32_t id = 0;
  uint32_t size = 0;
};

enum class HeaderResult { Ok, NeedMore, BadMagic, TooLarge };
// Reads a header from the first bytes of `bytes`.
HeaderResult ParseHeader(std::span<const uint8_t> bytes, PacketHeader* out);
const char* HeaderResultName(HeaderResult r);
// The first whole packet of a byte stream: Ok with its header and payload;
// NeedMore while the header or the payload is incomplete.
HeaderResult NextPacket(std::span<const uint8_t> bytes, PacketHeader* header, std::span<const uint8_t>* payload);

// A whole packet: header and payload.
std::vector<uint8_t> EncodePacket(uint32_t device, PacketId id, std::span<const uint8_t> payload);
std::vector<uint8_t> EncodeU32(uint32_t value);

struct ModeDescription {
  std::string name;
  int32_t value = 0;
  uint32_t flags = 0;
  uint32_t speed_min = 0, speed_max = 0;
  uint32_t brightness_min = 0, brightness_max = 0;
  uint32_t colours_min = 0, colours_max = 0;
  uint32_t speed = 0;
  uint32_t brightness = 0;
  uint32_t direction = 0;
  uint32_t colour_mode = 0;
  std::vector<uint32_t> colours;
  bool operator==(const ModeDescription&) const = default;
};

struct ZoneDescription {
  std::string name;
  ZoneType type = ZoneType::Linear;
  uint32_t led_count = 0;  // also the minimum and the maximum: zones are fixed
  uint32_t matrix_height = 0, matrix_width = 0;
  std::vector<uint32_t> matrix;  // height x width, row by row; empty: none
};

struct ControllerDescription {
  ControllerType type = ControllerType::Mouse;
  std::string name, vendor, description, version, serial, location;
  int32_t active_mode = 0;
  std::vector<ModeDescription> modes;
  std::vector<ZoneDescription> zones;
  std::vector<std::string> leds;  // names; LED values are their indexes
  std::vector<uint32_t> colours;  // one per LED
};

// The answer payload of REQUEST_CONTROLLER_DATA for `version` (above 4
// reads as 4).
std::vector<uint8_t> EncodeControllerData(const ControllerDescription& c, uint32_t version);

// What a client asked for, decoded.
struct Request {
  PacketId id = PacketId::RequestControllerCount;
  uint32_t device = 0;
  uint32_t number = 0;         // version (1, 40), zone (1051), LED (1052), mode (1101, 1102)
  std::vector<uint32_t> colours;  // 1050, 1051, 1052 (one)
  ModeDescription mode;           // 1101, 1102
  std::string text;               // 50, 151-153
};

enum class DecodeResult {
  Ok,
  Malformed,  // a known packet whose payload does not hold what it says
  Unknown,    // an id this protocol does not have
  Ignored,    // a known id this program has nothing to do for
};
// Decodes one packet's payload. `version`: the agreed protocol version,
// which shapes UPDATEMODE's mode block.
DecodeResult DecodeRequest(const PacketHeader& header, std::span<const uint8_t> payload, uint32_t version,
                           Request* out);
const char* DecodeResultName(DecodeResult r);

}  // namespace trx::openrgb
