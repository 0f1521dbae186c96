#include "keys/function_build.h"

#include <algorithm>
#include <bit>

namespace trx::keys {

namespace {

constexpr uint16_t kVkEnter = 0x0D;
constexpr uint16_t kVkKeypadEnter = 0x101;
// The hook's flags for an extended key, pressed or released.
constexpr uint32_t kExtendedPressed = 0x01;
constexpr uint32_t kExtendedReleased = 0x81;
constexpr int kModifierItems = 8;

template <size_t N>
std::optional<KeyAssignment> FromTable(uint8_t type, const std::array<FunctionRow, N>& table, int item) {
  if (item < 0 || static_cast<size_t>(item) >= N) return std::nullopt;
  return KeyAssignment{type, table[item].param1, table[item].param2};
}

uint8_t Nibbles(int high, int low) { return static_cast<uint8_t>(high * 16 + (low & 0x0F)); }

uint8_t SwingCount(int count, int direction_item) {
  return static_cast<uint8_t>(count + (direction_item == 1 ? kSwingDirectionBit : 0));
}

uint8_t ModifierBit(int modifier_item) { return KeyTable()[modifier_item - 1].param1; }

// The modifier bits (LCtrl 0x01 ... RWin 0x80) as the label names them.
constexpr const char* kModifierLabels[8] = {"Ctrl", "Shift", "Alt", "Win", "RCtrl", "RShift", "RAlt", "RWin"};

}  // namespace

std::optional<KeyAssignment> BuildAssignment(int item, const CategoryValues& v, KeyAssignment factory) {
  switch (item) {
    case kCategoryDefault:
      return factory;
    case kCategoryDisabled:
      return KeyAssignment{kKeyTypeNone, 0, 0};
    case kCategoryMouseButton:
      return FromTable(kTypeMouseButton, MouseButtonTable, v.button_item);
    case kCategoryHorizontalSwing:
      return KeyAssignment{kTypeHorizontalSwing, Nibbles(v.h_high, v.h_low), SwingCount(v.h_count, v.h_direction_item)};
    case kCategoryVerticalSwing:
      return KeyAssignment{kTypeVerticalSwing, Nibbles(v.v_high, v.v_low), SwingCount(v.v_count, v.v_direction_item)};
    case kCategoryDpi:
      return FromTable(kTypeDpi, DpiTable, v.dpi_item);
    case kCategoryFireKey:
      return KeyAssignment{kTypeFireKey, static_cast<uint8_t>(v.fire_a), static_cast<uint8_t>(v.fire_b)};
    case kCategoryKey: {
      if (!v.key_captured) return std::nullopt;
      KeyAssignment a = v.captured;
      a.type = kTypeKey;
      if (v.modifier_item >= 1 && v.modifier_item <= kModifierItems) {
        a.param1 = ModifierBit(v.modifier_item);
      } else if (v.modifier_item == 0 && a.param2 != 0) {
        // Item 0: no modifier. A modifier pressed alone (no usage) keeps its
        // own bit, else the function would do nothing.
        a.param1 = 0;
      }
      return a;
    }
    case kCategoryMedia:
      return FromTable(kTypeMedia, MediaTable, v.media_item);
    case kCategorySystem:
      return FromTable(kTypeSystem, SystemTable, v.system_item);
    case kCategoryMacro:
      if (v.macro_item < 0 || v.repeat_item < 0) return std::nullopt;
      if (v.repeat_item == kRepeatCountItem)
        return KeyAssignment{kTypeMacroCount, static_cast<uint8_t>(v.macro_item), static_cast<uint8_t>(v.repeat_count)};
      return KeyAssignment{kTypeMacroMode, static_cast<uint8_t>(v.macro_item), static_cast<uint8_t>(v.repeat_item)};
    case kCategoryRoutine:
      if (v.routine_item < 0 || static_cast<size_t>(v.routine_item) >= kRoutineRows) return std::nullopt;
      return KeyAssignment{kTypeRoutine, static_cast<uint8_t>(v.routine_item), 0};
    default:
      return std::nullopt;
  }
}

int EditLimit(int edit_number) {
  switch (edit_number) {
    case 11: case 12: case 25: return 255;
    case 15: case 16: return 127;
    case 17: case 18: case 19: case 20: return 15;
    default: return 0;
  }
}

std::optional<int> ClampEditValue(int edit_number, int value) {
  const int limit = EditLimit(edit_number);
  if (limit > 0 && value > limit) return limit;
  if (edit_number == 25 && value < 1) return 1;
  return std::nullopt;
}

std::optional<size_t> CaptureRow(uint32_t virtual_key, uint32_t flags) {
  if (virtual_key == kVkEnter && (flags == kExtendedPressed || flags == kExtendedReleased)) virtual_key = kVkKeypadEnter;
  const std::optional<size_t> row = FindKeyRowByVirtualKey(virtual_key);
  if (!row || KeyTable()[*row].type != kTypeKey) return std::nullopt;
  return row;
}

KeyAssignment CapturedAssignment(size_t row, int modifier_item) {
  const KeyRow& r = KeyTable()[row];
  const uint8_t bit = (modifier_item >= 1 && modifier_item <= kModifierItems) ? ModifierBit(modifier_item) : r.param1;
  return {kTypeKey, bit, r.param2};
}

uint8_t ModifierKeyBit(size_t row) {
  const KeyRow& r = KeyTable()[row];
  return r.type == kTypeKey && r.param2 == 0 ? r.param1 : 0;
}

std::string ModifierPrefix(uint8_t bits) {
  std::string out;
  for (int b = 0; b < 8; ++b)
    if (bits & (1u << b)) out += std::string(kModifierLabels[b]) + "+";
  return out;
}

ShownFunction ShowValues(KeyAssignment a, size_t macro_count) {
  ShownFunction shown;
  CategoryValues& v = shown.values;
  auto item_of = [](auto& table, KeyAssignment x) {
    const auto row = FindRow(table, x.param1, x.param2);
    return row ? static_cast<int>(*row) : -1;
  };
  switch (a.type) {
    case kTypeMouseButton: v.button_item = item_of(MouseButtonTable, a); break;
    case kTypeDpi: v.dpi_item = item_of(DpiTable, a); break;
    case kTypeMedia: v.media_item = item_of(MediaTable, a); break;
    case kTypeSystem: v.system_item = item_of(SystemTable, a); break;
    case kTypeHorizontalSwing:
      v.h_high = a.param1 >> 4, v.h_low = a.param1 & 0x0F, v.h_count = a.param2 & kSwingCountMask;
      v.h_direction_item = a.param2 >> 7;
      break;
    case kTypeVerticalSwing:
      v.v_high = a.param1 >> 4, v.v_low = a.param1 & 0x0F, v.v_count = a.param2 & kSwingCountMask;
      v.v_direction_item = a.param2 >> 7;
      break;
    case kTypeFireKey: v.fire_a = a.param1, v.fire_b = a.param2; break;
    case kKeyTypeNone: break;
    case kTypeMacroMode:
      if (a.param1 < macro_count) v.macro_item = a.param1;
      v.repeat_item = a.param2 < kRepeatCountItem ? a.param2 : -1;
      break;
    case kTypeMacroCount:
      if (a.param1 < macro_count) v.macro_item = a.param1;
      v.repeat_item = kRepeatCountItem, v.repeat_count = std::max<int>(a.param2, 1);
      break;
    case kTypeRoutine: v.routine_item = a.param1 < kRoutineRows ? a.param1 : -1; break;
    case kTypeKey: {
      // A key with one modifier shows the key's name and that modifier's
      // item; a modifier alone shows its own row.
      v.captured = a;
      v.modifier_item = 0;
      std::optional<size_t> row = FindKeyRow(kTypeKey, a.param1, a.param2);
      if (a.param2 != 0) {
        row = FindKeyRow(kTypeKey, 0, a.param2);
        if (std::has_single_bit(a.param1)) v.modifier_item = std::countr_zero(a.param1) + 1;
        // Several modifiers: no item of the list says so, the function keeps them.
        if (std::popcount(a.param1) > 1) v.modifier_item = -1;
      }
      if (row) shown.key_name = KeyTable()[*row].name;
      v.key_captured = row.has_value();
      break;
    }
    default:
      return shown;  // the page builds none of these: nothing changes
  }
  shown.category = CategoryOfType(a.type);
  return shown;
}

Label LabelOf(KeyAssignment a, const std::vector<std::string>& macro_names) {
  auto from = [](const char* name) { return name ? Label{Label::LanguageKey, name, {}} : Label{}; };
  auto table_name = [&](auto& table) {
    const auto row = FindRow(table, a.param1, a.param2);
    return from(row ? table[*row].name : nullptr);
  };
  switch (a.type) {
    case kTypeMouseButton: return table_name(MouseButtonTable);
    case kTypeDpi: return table_name(DpiTable);
    case kTypeSystem: return table_name(SystemTable);
    case kTypeMedia: case kTypeLegacyMedia: return table_name(MediaTable);
    case kTypeKey: case kTypeLegacyKey: {
      // A key with modifiers has no row of its own: it is named by its key,
      // so the label never keeps the name of the button's former function.
      auto row = FindKeyRow(kTypeKey, a.param1, a.param2);
      if (!row && a.param2 != 0) row = FindKeyRow(kTypeKey, 0, a.param2);
      Label label = from(row ? KeyTable()[*row].name : nullptr);
      // Held modifiers are named before the key: "Ctrl+C".
      if (row && a.param2 != 0 && KeyTable()[*row].param1 != a.param1) label.modifiers = ModifierPrefix(a.param1);
      return label;
    }
    case kTypeHorizontalSwing:
      return from(a.param2 & kSwingDirectionBit ? "mouse_key_right_Swing" : "mouse_key_left_Swing");
    case kTypeVerticalSwing:
      return from(a.param2 & kSwingDirectionBit ? "mouse_key_down_Swing" : "mouse_key_up_Swing");
    case kTypeFireKey: return from("mouse_key_fire_key");
    case kTypeMacroMode: case kTypeMacroCount:
      if (a.param1 < macro_names.size()) return {Label::MacroName, macro_names[a.param1], {}};
      return {};
    case kTypeRoutine: return from(a.param1 < kRoutineRows ? RoutineNames[a.param1] : nullptr);
    case 0x15: case 0x50: case 0x60: case 0xA0: case 0xB0: case 0xC0:
      return {};
    default:
      return from(kUnknownFunctionKey);
  }
}

}  // namespace trx::keys
