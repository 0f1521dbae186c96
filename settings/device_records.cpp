#include "settings/device_records.h"

#include "device/device_ids.h"

namespace trx {

KeyboardVariant KeyboardVariantFromProductId(uint16_t product_id, KeyboardVariant fallback) {
  switch (product_id) {
    case kKeyboardProductIdFull: return KeyboardVariant::Full;
    case kKeyboardProductId: return KeyboardVariant::V15;
    case kKeyboardProductIdV16: return KeyboardVariant::V16;
    default: return fallback;
  }
}

}  // namespace trx
