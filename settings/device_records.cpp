#include "settings/device_records.h"

namespace trx {

KeyboardVariant KeyboardVariantFromProductId(uint16_t product_id, KeyboardVariant fallback) {
  switch (product_id) {
    case 0x8611: return KeyboardVariant::Full;
    case 0x6556: return KeyboardVariant::V15;
    case 0x7200: return KeyboardVariant::V16;
    default: return fallback;
  }
}

}  // namespace trx
