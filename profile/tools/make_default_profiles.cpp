// Writes the default profile files that ship in the program folder, from
// the built-in defaults:
//   trx770-make-defaults <output folder>
// The bytes are listed in docs/profile-files.md.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "settings/builtin_defaults.h"
#include "settings/mouse_config_image.h"

namespace {

bool Write(const std::string& folder, const std::string& name, trx::DeviceKind kind, const std::vector<uint8_t>& data) {
  if (trx::WriteProfileFile(folder + name, kind, data.size(), data.data()) != trx::kProfileWriteOk) {
    std::fprintf(stderr, "trx770-make-defaults: cannot write %s%s\n", folder.c_str(), name.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  std::string folder = argv[1];
  if (folder.back() != '/') folder += '/';

  uint8_t main_block[trx::kKeyBlockSize];
  trx::FillBuiltInMainBlock(main_block);
  uint8_t mouse_record[trx::kSettingsSlotSize];
  trx::DefaultMouseSettingsRecord(mouse_record);
  uint8_t lighting[trx::kLightingRecordSize];
  trx::DefaultLightingRecord(lighting);
  uint8_t keyboard_keys[trx::kKeyBlockSize];
  trx::DefaultKeyboardKeyBlock(keyboard_keys);

  std::vector<uint8_t> mouse_device(main_block, main_block + sizeof main_block);
  mouse_device.insert(mouse_device.end(), mouse_record, mouse_record + sizeof mouse_record);
  std::vector<uint8_t> mouse_light(mouse_record, mouse_record + sizeof mouse_record);
  std::vector<uint8_t> mouse_key(main_block, main_block + sizeof main_block);
  std::vector<uint8_t> pad_light(lighting, lighting + sizeof lighting);
  // Keyboard light: record 0, lighting extra 0, per-key colours 0, two zero bytes.
  std::vector<uint8_t> keyboard_light(trx::kKeyboardLightDataSize, 0);
  std::memcpy(keyboard_light.data(), lighting, sizeof lighting);
  std::vector<uint8_t> keyboard_key(keyboard_keys, keyboard_keys + sizeof keyboard_keys);

  bool ok = Write(folder, trx::kDefaultMouseDevice, trx::DeviceKind::Mouse, mouse_device);
  ok = Write(folder, trx::kDefaultMouseLight, trx::DeviceKind::Mouse, mouse_light) && ok;
  ok = Write(folder, trx::kDefaultMouseKey, trx::DeviceKind::Mouse, mouse_key) && ok;
  ok = Write(folder, trx::kDefaultPadLight, trx::DeviceKind::MousePad, pad_light) && ok;
  for (int v = 0; v < 3; ++v) {
    ok = Write(folder, trx::kDefaultKeyboardLight[v], trx::DeviceKind::Keyboard, keyboard_light) && ok;
    ok = Write(folder, trx::kDefaultKeyboardKey[v], trx::DeviceKind::Keyboard, keyboard_key) && ok;
  }
  return ok ? 0 : 1;
}
