#include "macro/macro_image.h"

namespace trx::macro {

namespace {

void Put16(std::vector<uint8_t>& out, size_t offset, uint16_t value) {
  out[offset] = static_cast<uint8_t>(value & 0xFF);
  out[offset + 1] = static_cast<uint8_t>(value >> 8);
}

uint16_t Get16(const uint8_t* data, size_t offset) {
  return static_cast<uint16_t>(data[offset] | (data[offset + 1] << 8));
}

}  // namespace

ImageAction ToImageAction(const MacroAction& a) { return {a.DelayLow(), a.DelayHigh(), a.type, a.code}; }

uint64_t MacroImageSize(size_t macro_count, uint64_t total_actions) {
  return kMacroImageHeaderSize + uint64_t{6} * macro_count + kMacroImageActionSize * total_actions;
}

size_t MacroCapacity(const uint8_t* device_info) {
  return static_cast<size_t>(device_info[kDeviceInfoMacroUnits]) * kMacroMemoryUnit;
}

uint64_t SurplusActions(uint64_t total, size_t capacity) {
  if (total <= capacity) return 0;
  return (total - capacity) / kMacroImageActionSize + 1;
}

std::vector<uint8_t> BuildMacroImage(const std::vector<ImageMacro>& macros) {
  uint64_t actions = 0;
  for (const ImageMacro& m : macros) actions += m.size();
  const uint64_t total = MacroImageSize(macros.size(), actions);
  if (macros.size() > kMaxMacros || total > 0xFFFF) return {};
  std::vector<uint8_t> image(static_cast<size_t>(total), 0);
  Put16(image, 0, kMacroImageMagic);
  Put16(image, 2, static_cast<uint16_t>(total));
  Put16(image, 4, static_cast<uint16_t>(macros.size()));
  size_t record = kMacroImageHeaderSize + 2 * macros.size();
  for (size_t i = 0; i < macros.size(); ++i) {
    Put16(image, kMacroImageHeaderSize + 2 * i, static_cast<uint16_t>(record));
    Put16(image, record, static_cast<uint16_t>(macros[i].size()));
    size_t at = record + kMacroRecordHeaderSize;
    for (const ImageAction& a : macros[i]) {
      image[at] = a.delay_low;
      image[at + 1] = a.delay_high;
      image[at + 2] = a.type;
      image[at + 3] = a.code;
      at += kMacroImageActionSize;
    }
    record = at;
  }
  return image;
}

bool DecodeMacroImage(const uint8_t* data, size_t size, std::vector<ImageMacro>& macros) {
  macros.clear();
  if (data == nullptr || size < kMacroImageHeaderSize) return false;
  if (Get16(data, 0) != kMacroImageMagic) return false;
  const size_t total = Get16(data, 2);
  const size_t n = Get16(data, 4);
  if (total > size || n > kMaxMacros) return false;
  // Records lie back to back in index order, the last one ending the image.
  size_t record = kMacroImageHeaderSize + 2 * n;
  if (record > total) return false;
  for (size_t i = 0; i < n; ++i) {
    if (Get16(data, kMacroImageHeaderSize + 2 * i) != record || record + kMacroRecordHeaderSize > total) return false;
    const size_t m = Get16(data, record);
    const size_t end = record + kMacroRecordHeaderSize + kMacroImageActionSize * m;
    if (end > total) return false;
    ImageMacro macro(m);
    const uint8_t* a = data + record + kMacroRecordHeaderSize;
    for (size_t k = 0; k < m; ++k, a += kMacroImageActionSize) macro[k] = {a[0], a[1], a[2], a[3]};
    macros.push_back(std::move(macro));
    record = end;
  }
  if (record != total) {
    macros.clear();
    return false;
  }
  return true;
}

}  // namespace trx::macro
