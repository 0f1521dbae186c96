#include "device/hid_descriptor.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace trx {
namespace {

// Short item prefix byte:
//
//   bit  7..4  3..2  1..0
//        tag   type  size code (0, 1, 2 or 4 data bytes follow)
//
// type 0 main, 1 global, 2 local, 3 reserved; prefix 0xFE opens a long item.
enum ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };

enum MainTag : uint8_t { kInput = 8, kOutput = 9, kCollection = 10, kFeature = 11, kEndCollection = 12 };
enum GlobalTag : uint8_t {
  kUsagePage = 0,
  kLogicalMin = 1,
  kLogicalMax = 2,
  kPhysicalMin = 3,
  kPhysicalMax = 4,
  kUnitExponent = 5,
  kUnit = 6,
  kReportSize = 7,
  kReportId = 8,
  kReportCount = 9,
  kPush = 10,
  kPop = 11,
};
enum LocalTag : uint8_t { kUsage = 0, kUsageMin = 1, kUsageMax = 2 };

// Input/Output/Feature flag bits.
constexpr uint32_t kFlagConstant = 1u << 0;
constexpr uint32_t kFlagVariable = 1u << 1;
constexpr uint32_t kFlagNullState = 1u << 6;

constexpr uint8_t kCollectionApplication = 1;

struct GlobalState {
  uint32_t usage_page = 0;
  int64_t logical_min_signed = 0;
  int64_t logical_max_signed = 0;
  int64_t logical_max_unsigned = 0;
  int64_t physical_min_signed = 0;
  int64_t physical_max_signed = 0;
  int64_t physical_max_unsigned = 0;
  uint32_t report_size = 0;
  uint32_t report_id = 0;
  uint32_t report_count = 0;
};

// One usage item or usage range of the local state. page < 0: the global
// usage page in force when the main item is parsed.
struct UsageEntry {
  int32_t page = -1;
  uint16_t min = 0;
  uint16_t max = 0;
  bool is_range = false;
};

struct Item {
  uint8_t type = 0;
  uint8_t tag = 0;
  uint8_t size = 0;
  uint32_t value = 0;  // data, zero-extended
  int32_t svalue = 0;  // data, sign-extended from its size
};

class Parser {
 public:
  Parser(const uint8_t* data, size_t size, HidDescriptorInfo& info, int collection)
      : data_(data), size_(size), info_(info), selected_(collection) {}

  bool Run();
  const std::string& Reason() const { return reason_; }

 private:
  bool Fail(const char* what) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s at offset %zu", what, item_offset_);
    reason_ = buf;
    return false;
  }
  bool NextItem(Item& item);
  bool OnMain(const Item& item);
  bool OnGlobal(const Item& item);
  bool OnLocal(const Item& item);
  bool OnField(int direction, uint32_t flags);
  bool AddCaps(uint32_t flags, uint32_t bit_start);
  bool ResolveUsages(std::vector<UsageEntry>& out);
  int64_t LogicalMax() const {
    return global_.logical_min_signed < 0 ? global_.logical_max_signed : global_.logical_max_unsigned;
  }
  int64_t PhysicalMax() const {
    return global_.physical_min_signed < 0 ? global_.physical_max_signed : global_.physical_max_unsigned;
  }
  void ClearLocal() {
    usages_.clear();
    pending_min_ = -1;
    pending_max_ = -1;
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  size_t item_offset_ = 0;
  HidDescriptorInfo& info_;
  std::string reason_;
  // The top-level collection described (kHidWholeDescriptor: all), and the
  // one the parser is inside: an index into info_.top_level, -1 outside any
  // application collection.
  const int selected_;
  int current_top_ = -1;

  GlobalState global_;
  std::vector<GlobalState> stack_;
  std::vector<UsageEntry> usages_;
  // A usage range is complete when both ends are seen, in either order;
  // the page (extended items only) is kept in the high half, -1 = unseen.
  int64_t pending_min_ = -1;
  int64_t pending_max_ = -1;
  int depth_ = 0;
  uint32_t main_items_ = 0;
  bool saw_unnumbered_field_ = false;
  // Bits of each report so far, [direction][report id], and whether the
  // report has fields of the described collection.
  std::array<std::array<uint32_t, 256>, 3> bits_{};
  std::array<std::array<bool, 256>, 3> described_{};
};

bool Parser::NextItem(Item& item) {
  item_offset_ = pos_;
  uint8_t prefix = data_[pos_++];
  if (prefix == 0xFE) return Fail("long item");
  static constexpr uint8_t kSizes[4] = {0, 1, 2, 4};
  item.size = kSizes[prefix & 3];
  item.type = static_cast<uint8_t>((prefix >> 2) & 3);
  item.tag = static_cast<uint8_t>(prefix >> 4);
  if (item.type == 3) return Fail("reserved item type");
  if (size_ - pos_ < item.size) return Fail("truncated item");
  uint32_t v = 0;
  for (uint8_t i = 0; i < item.size; ++i) v |= static_cast<uint32_t>(data_[pos_ + i]) << (8 * i);
  pos_ += item.size;
  item.value = v;
  switch (item.size) {
    case 1: item.svalue = static_cast<int8_t>(v); break;
    case 2: item.svalue = static_cast<int16_t>(v); break;
    case 4: item.svalue = static_cast<int32_t>(v); break;
    default: item.svalue = 0; break;
  }
  return true;
}

bool Parser::Run() {
  if (size_ > kHidMaxDescriptorBytes) return Fail("descriptor too long");
  if (size_ == 0) return Fail("empty descriptor");
  while (pos_ < size_) {
    Item item;
    if (!NextItem(item)) return false;
    bool ok = true;
    switch (item.type) {
      case kMain: ok = OnMain(item); break;
      case kGlobal: ok = OnGlobal(item); break;
      case kLocal: ok = OnLocal(item); break;
      default: break;
    }
    if (!ok) return false;
  }
  item_offset_ = size_;
  if (depth_ != 0) return Fail("unbalanced collections");
  if (info_.top_level.empty()) return Fail("no application collection");
  if (selected_ >= static_cast<int>(info_.top_level.size())) return Fail("no such collection");
  if (selected_ >= 0) {
    info_.usage_page = info_.top_level[static_cast<size_t>(selected_)].usage_page;
    info_.usage = info_.top_level[static_cast<size_t>(selected_)].usage;
  }
  if (info_.uses_report_ids) {
    for (size_t id = 1; id < bits_[0].size(); ++id) {
      if (described_[0][id]) info_.input_report_ids.push_back(static_cast<uint8_t>(id));
    }
  }
  for (int dir = 0; dir < 3; ++dir) {
    uint32_t longest = 0;
    for (size_t id = 0; id < bits_[dir].size(); ++id) {
      if (described_[dir][id]) longest = std::max(longest, bits_[dir][id]);
    }
    uint16_t bytes = longest == 0 ? 0 : static_cast<uint16_t>((longest + 7) / 8 + 1);
    if (dir == 0) info_.input_report_byte_length = bytes;
    if (dir == 1) info_.output_report_byte_length = bytes;
    if (dir == 2) info_.feature_report_byte_length = bytes;
  }
  return true;
}

bool Parser::OnGlobal(const Item& item) {
  switch (item.tag) {
    case kUsagePage:
      if (item.value > 0xFFFF) return Fail("usage page out of range");
      global_.usage_page = item.value;
      break;
    case kLogicalMin: global_.logical_min_signed = item.svalue; break;
    case kLogicalMax:
      global_.logical_max_signed = item.svalue;
      global_.logical_max_unsigned = item.value;
      break;
    case kPhysicalMin: global_.physical_min_signed = item.svalue; break;
    case kPhysicalMax:
      global_.physical_max_signed = item.svalue;
      global_.physical_max_unsigned = item.value;
      break;
    case kUnitExponent:
    case kUnit: break;
    case kReportSize:
      if (item.value > kHidMaxReportSizeBits) return Fail("report size too large");
      global_.report_size = item.value;
      break;
    case kReportId:
      if (item.value == 0) return Fail("report id 0");
      if (item.value > 255) return Fail("report id out of range");
      if (saw_unnumbered_field_) return Fail("report id after unnumbered fields");
      global_.report_id = item.value;
      info_.uses_report_ids = true;
      break;
    case kReportCount:
      if (item.value > kHidMaxReportCount) return Fail("report count too large");
      global_.report_count = item.value;
      break;
    case kPush:
      if (stack_.size() >= static_cast<size_t>(kHidMaxPushDepth)) return Fail("push overflow");
      stack_.push_back(global_);
      break;
    case kPop:
      if (stack_.empty()) return Fail("pop underflow");
      global_ = stack_.back();
      stack_.pop_back();
      break;
    default: return Fail("unknown global item");
  }
  return true;
}

bool Parser::OnLocal(const Item& item) {
  // Extended (4-byte) usages carry their page in the high half.
  const bool extended = item.size == 4;
  switch (item.tag) {
    case kUsage: {
      if (usages_.size() >= kHidMaxLocalUsages) return Fail("too many usages");
      UsageEntry e;
      e.page = extended ? static_cast<int32_t>(item.value >> 16) : -1;
      e.min = e.max = static_cast<uint16_t>(item.value & 0xFFFF);
      usages_.push_back(e);
      break;
    }
    case kUsageMin:
    case kUsageMax: {
      int64_t& slot = item.tag == kUsageMin ? pending_min_ : pending_max_;
      if (slot >= 0) return Fail("repeated usage range end");
      // Keep "no page" apart from page 0 by storing page + 1 above bit 16.
      slot = (extended ? (static_cast<int64_t>(item.value >> 16) + 1) << 16 : 0) | (item.value & 0xFFFF);
      if (pending_min_ >= 0 && pending_max_ >= 0) {
        if ((pending_min_ >> 16) != (pending_max_ >> 16)) return Fail("usage range across pages");
        UsageEntry e;
        e.page = static_cast<int32_t>(pending_min_ >> 16) - 1;
        e.min = static_cast<uint16_t>(pending_min_ & 0xFFFF);
        e.max = static_cast<uint16_t>(pending_max_ & 0xFFFF);
        e.is_range = true;
        if (e.min > e.max) return Fail("inverted usage range");
        if (usages_.size() >= kHidMaxLocalUsages) return Fail("too many usages");
        usages_.push_back(e);
        pending_min_ = pending_max_ = -1;
      }
      break;
    }
    default: break;  // designators, strings, delimiters: not needed for decoding
  }
  return true;
}

bool Parser::ResolveUsages(std::vector<UsageEntry>& out) {
  if (pending_min_ >= 0 || pending_max_ >= 0) return Fail("unpaired usage range");
  out = usages_;
  for (UsageEntry& e : out) {
    if (e.page < 0) e.page = static_cast<int32_t>(global_.usage_page);
  }
  return true;
}

bool Parser::OnMain(const Item& item) {
  bool ok = true;
  switch (item.tag) {
    case kInput: ok = OnField(0, item.value); break;
    case kOutput: ok = OnField(1, item.value); break;
    case kFeature: ok = OnField(2, item.value); break;
    case kCollection: {
      if (depth_ >= kHidMaxCollectionDepth) return Fail("collections nested too deep");
      std::vector<UsageEntry> usages;
      if (!ResolveUsages(usages)) return false;
      if (depth_ == 0) current_top_ = -1;
      if (depth_ == 0 && item.value == kCollectionApplication) {
        HidCollectionId id;
        if (!usages.empty()) {
          id.usage_page = static_cast<uint16_t>(usages.front().page);
          id.usage = usages.front().min;
        } else {
          id.usage_page = static_cast<uint16_t>(global_.usage_page);
        }
        if (info_.top_level.empty()) {
          info_.usage_page = id.usage_page;
          info_.usage = id.usage;
        }
        info_.top_level.push_back(id);
        current_top_ = static_cast<int>(info_.top_level.size()) - 1;
      }
      ++depth_;
      break;
    }
    case kEndCollection:
      if (depth_ == 0) return Fail("end collection without open collection");
      --depth_;
      break;
    default: return Fail("unknown main item");
  }
  ClearLocal();
  return ok;
}

bool Parser::OnField(int direction, uint32_t flags) {
  if (depth_ == 0) return Fail("field outside a collection");
  const uint64_t bits = static_cast<uint64_t>(global_.report_size) * global_.report_count;
  if (bits > static_cast<uint64_t>(kHidMaxReportBytes) * 8) return Fail("field too large");
  if (bits == 0) return true;
  if (global_.report_id == 0) {
    if (info_.uses_report_ids) return Fail("unnumbered field among numbered reports");
    saw_unnumbered_field_ = true;
  }
  uint32_t& total = bits_[direction][global_.report_id];
  const uint32_t start = total;
  if (start + bits > static_cast<uint64_t>(kHidMaxReportBytes) * 8) return Fail("report too long");
  total = static_cast<uint32_t>(start + bits);
  // Fields of other collections are validated but not described.
  if (selected_ != kHidWholeDescriptor && current_top_ != selected_) return true;
  described_[direction][global_.report_id] = true;
  ++main_items_;
  if (direction != 0 || (flags & kFlagConstant)) return true;
  return AddCaps(flags, 8 + start);
}

bool Parser::AddCaps(uint32_t flags, uint32_t bit_start) {
  std::vector<UsageEntry> usages;
  if (!ResolveUsages(usages)) return false;
  const uint32_t size = global_.report_size;
  const uint32_t count = global_.report_count;
  const int64_t lmin = global_.logical_min_signed;
  const int64_t lmax = LogicalMax();
  const bool is_array = (flags & kFlagVariable) == 0;
  const auto room = [this](size_t more) {
    return info_.input_button_caps.size() + info_.input_value_caps.size() + more <= kHidMaxCaps;
  };

  if (is_array) {
    // An array item's fields hold indexes into its whole usage list.
    uint32_t base = 0;
    for (const UsageEntry& e : usages) {
      if (!room(1)) return Fail("too many fields");
      HidButtonCap cap;
      cap.usage_page = static_cast<uint16_t>(e.page);
      cap.report_id = static_cast<uint8_t>(global_.report_id);
      cap.usage_min = e.min;
      cap.usage_max = e.max;
      cap.is_range = e.is_range;
      cap.is_array = true;
      cap.bit_offset = bit_start;
      cap.report_size = static_cast<uint16_t>(size);
      cap.report_count = static_cast<uint16_t>(count);
      cap.logical_min = lmin;
      cap.logical_max = lmax;
      cap.array_index_base = base;
      cap.main_item = main_items_;
      info_.input_button_caps.push_back(cap);
      base += static_cast<uint32_t>(e.max - e.min) + 1;
    }
    return true;
  }

  // Variable item: field i takes the i-th usage of the list; fields past the
  // end of the list take the last usage.
  if (usages.empty()) usages.push_back(UsageEntry{static_cast<int32_t>(global_.usage_page), 0, 0, false});
  uint32_t field = 0;
  for (size_t k = 0; k < usages.size() && field < count; ++k) {
    const UsageEntry& e = usages[k];
    const uint32_t span = static_cast<uint32_t>(e.max - e.min) + 1;
    const uint32_t covered = std::min(span, count - field);
    if (size == 1) {
      if (!room(1)) return Fail("too many fields");
      HidButtonCap cap;
      cap.usage_page = static_cast<uint16_t>(e.page);
      cap.report_id = static_cast<uint8_t>(global_.report_id);
      cap.usage_min = e.min;
      cap.usage_max = static_cast<uint16_t>(e.min + covered - 1);
      cap.is_range = e.is_range;
      cap.bit_offset = bit_start + field;
      cap.report_size = 1;
      cap.report_count = static_cast<uint16_t>(covered);
      cap.logical_min = lmin;
      cap.logical_max = lmax;
      cap.main_item = main_items_;
      info_.input_button_caps.push_back(cap);
    } else {
      if (!room(covered)) return Fail("too many fields");
      for (uint32_t j = 0; j < covered; ++j) {
        HidValueCap cap;
        cap.usage_page = static_cast<uint16_t>(e.page);
        cap.report_id = static_cast<uint8_t>(global_.report_id);
        cap.usage = static_cast<uint16_t>(e.min + j);
        cap.bit_offset = bit_start + (field + j) * size;
        cap.report_size = static_cast<uint16_t>(size);
        cap.report_count = 1;
        cap.logical_min = lmin;
        cap.logical_max = lmax;
        cap.physical_min = global_.physical_min_signed;
        cap.physical_max = PhysicalMax();
        cap.has_null = (flags & kFlagNullState) != 0;
        info_.input_value_caps.push_back(cap);
      }
    }
    field += covered;
  }
  // Remaining fields repeat the last usage: a value array on that usage.
  if (field < count && size > 1 && !info_.input_value_caps.empty()) {
    info_.input_value_caps.back().report_count = static_cast<uint16_t>(info_.input_value_caps.back().report_count + (count - field));
  }
  return true;
}

}  // namespace

bool ParseHidDescriptor(const uint8_t* data, size_t size, HidDescriptorInfo& info, std::string* reason,
                       int collection) {
  info = HidDescriptorInfo{};
  if (data == nullptr && size != 0) {
    if (reason) *reason = "no data";
    return false;
  }
  if (collection < kHidWholeDescriptor) {
    if (reason) *reason = "no such collection";
    return false;
  }
  Parser parser(data, size, info, collection);
  if (!parser.Run()) {
    if (reason) *reason = parser.Reason();
    info = HidDescriptorInfo{};
    return false;
  }
  if (reason) reason->clear();
  return true;
}

uint32_t MaxInputUsageListLength(const HidDescriptorInfo& info, uint16_t usage_page) {
  uint32_t total = 0;
  uint32_t last_array_item = 0;
  bool counted_array = false;
  for (const HidButtonCap& cap : info.input_button_caps) {
    if (usage_page != 0 && cap.usage_page != usage_page) continue;
    if (cap.is_array) {
      // The caps of one array item share its fields: count them once.
      if (counted_array && cap.main_item == last_array_item) continue;
      counted_array = true;
      last_array_item = cap.main_item;
      total += cap.report_count;
    } else {
      total += static_cast<uint32_t>(cap.usage_max - cap.usage_min) + 1;
    }
  }
  return total;
}

}  // namespace trx
