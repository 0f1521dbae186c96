// DecodeInputUsages: turns one input report into the usages and values of
// the element table built by CHidDevice::Open.
#include <algorithm>

#include "device/hid_device.h"

namespace trx {
namespace {

// True when bits [bit_offset, bit_offset + size) lie inside the report.
bool FieldFits(size_t report_length, uint32_t bit_offset, uint32_t size) {
  return static_cast<uint64_t>(bit_offset) + size <= static_cast<uint64_t>(report_length) * 8;
}

// Little-endian bit field, size <= 32; the caller checked FieldFits.
uint32_t ExtractBits(const uint8_t* report, uint32_t bit_offset, uint32_t size) {
  uint64_t v = 0;
  for (uint32_t i = 0; i < size; ++i) {
    const uint32_t bit = bit_offset + i;
    if (report[bit / 8] & (1u << (bit % 8))) v |= uint64_t{1} << i;
  }
  return static_cast<uint32_t>(v);
}

int64_t SignExtend(uint32_t raw, uint32_t size) {
  if (size == 0 || size >= 64) return raw;
  const uint64_t sign = uint64_t{1} << (size - 1);
  return static_cast<int64_t>((uint64_t{raw} ^ sign)) - static_cast<int64_t>(sign);
}

// The equivalent of HidP_GetUsages for one usage page: every usage of that
// page switched on in the report, in descriptor order.
int32_t GetUsages(const HidDescriptorInfo& d, uint16_t page, const uint8_t* report, size_t length,
                  std::vector<uint16_t>& out) {
  out.clear();
  const uint8_t rid = report[0];
  bool in_report = false;
  bool in_other_report = false;
  for (const HidButtonCap& cap : d.input_button_caps) {
    if (cap.usage_page != page) continue;
    if (cap.report_id != rid) {
      in_other_report = true;
      continue;
    }
    in_report = true;
    const uint32_t field_bits = cap.report_size;
    if (!FieldFits(length, cap.bit_offset, field_bits * cap.report_count)) {
      out.clear();
      return kHidpStatusInvalidReportLength;
    }
    for (uint32_t i = 0; i < cap.report_count; ++i) {
      const uint32_t v = ExtractBits(report, cap.bit_offset + i * field_bits, field_bits);
      if (!cap.is_array) {
        if (v) out.push_back(static_cast<uint16_t>(cap.usage_min + i));
        continue;
      }
      // An array field holds an index into its item's usage list; 0 is "none".
      if (v == 0) continue;
      const int64_t value = cap.logical_min < 0 ? SignExtend(v, field_bits) : static_cast<int64_t>(v);
      if (cap.logical_max >= cap.logical_min && (value < cap.logical_min || value > cap.logical_max)) continue;
      const int64_t index = value - cap.logical_min - cap.array_index_base;
      if (index < 0 || index > cap.usage_max - cap.usage_min) continue;
      out.push_back(static_cast<uint16_t>(cap.usage_min + index));
    }
  }
  if (!in_report) return in_other_report ? kHidpStatusIncompatibleReportId : kHidpStatusUsageNotFound;
  return kHidpStatusSuccess;
}

const HidValueCap* FindValueCap(const HidDescriptorInfo& d, uint8_t rid, uint16_t page, uint16_t usage,
                                int32_t& status) {
  bool in_other_report = false;
  for (const HidValueCap& cap : d.input_value_caps) {
    if (cap.usage_page != page || cap.usage != usage) continue;
    if (cap.report_id == rid) return &cap;
    in_other_report = true;
  }
  status = in_other_report ? kHidpStatusIncompatibleReportId : kHidpStatusUsageNotFound;
  return nullptr;
}

// HidP_GetScaledUsageValue: the logical value mapped onto the physical
// range (the logical range itself when no physical range is given).
int32_t ScaledValue(const HidValueCap& cap, uint32_t raw, int32_t& scaled) {
  scaled = 0;
  const int64_t lmin = cap.logical_min;
  const int64_t lmax = cap.logical_max;
  if (lmax <= lmin) return kHidpStatusBadLogPhyValues;
  int64_t pmin = cap.physical_min;
  int64_t pmax = cap.physical_max;
  if (pmin == 0 && pmax == 0) {
    pmin = lmin;
    pmax = lmax;
  }
  if (pmax <= pmin) return kHidpStatusBadLogPhyValues;
  const int64_t value = lmin < 0 ? SignExtend(raw, cap.report_size) : static_cast<int64_t>(raw);
  if (value < lmin || value > lmax) return cap.has_null ? kHidpStatusNull : kHidpStatusValueOutOfRange;
  const long double r = static_cast<long double>(pmin) +
                        static_cast<long double>(value - lmin) * static_cast<long double>(pmax - pmin) /
                            static_cast<long double>(lmax - lmin);
  const long double clamped = std::clamp(r, static_cast<long double>(INT32_MIN), static_cast<long double>(INT32_MAX));
  scaled = static_cast<int32_t>(clamped);
  return kHidpStatusSuccess;
}

}  // namespace

bool DecodeInputUsages(std::vector<HidReportElement>& elements, const uint8_t* report, size_t report_length,
                       const HidDescriptorInfo& descriptor) {
  for (HidReportElement& e : elements) e.updated = 0;
  if (report == nullptr || report_length == 0) return false;
  const uint8_t rid = report[0];
  std::vector<uint16_t> found;
  for (HidReportElement& e : elements) {
    if (e.report_id != rid) continue;
    if (e.is_button) {
      e.status = GetUsages(descriptor, e.usage_page, report, report_length, found);
      std::fill(e.usage_list.begin(), e.usage_list.end(), uint16_t{0});
      if (e.status == kHidpStatusSuccess && found.size() > e.capacity) e.status = kHidpStatusBufferTooSmall;
      if (e.status == kHidpStatusSuccess) {
        size_t kept = 0;
        for (uint16_t u : found) {
          if (u < e.usage_minimum || u > e.usage_maximum || kept >= e.usage_list.size()) continue;
          e.usage_list[kept++] = u;
        }
      }
    } else {
      // usage_minimum is the usage; usage_maximum and capacity take the
      // raw and the scaled value.
      int32_t status = kHidpStatusSuccess;
      const HidValueCap* cap = FindValueCap(descriptor, rid, e.usage_page, e.usage_minimum, status);
      if (cap != nullptr && !FieldFits(report_length, cap->bit_offset, cap->report_size)) {
        status = kHidpStatusInvalidReportLength;
      }
      e.status = status;
      if (status != kHidpStatusSuccess) return false;
      const uint32_t raw = ExtractBits(report, cap->bit_offset, cap->report_size);
      e.usage_maximum = static_cast<uint16_t>(raw);
      int32_t scaled = 0;
      e.status = ScaledValue(*cap, raw, scaled);
      e.capacity = static_cast<uint32_t>(scaled);
    }
    e.updated = 1;
  }
  return true;
}

}  // namespace trx
