#include "ctl/json_writer.h"

#include <cstdio>

namespace trx::ctl {

std::string JsonWriter::Escape(std::string_view s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

void JsonWriter::Key(std::string_view key) {
  if (!first_.empty()) {
    if (!first_.back()) out_ << ",";
    first_.back() = false;
    out_ << "\n" << std::string(2 * first_.size(), ' ');
  }
  if (!key.empty()) out_ << Escape(key) << ": ";
}

void JsonWriter::OpenDocument() {
  out_ << "{";
  first_.push_back(true);
  Int("schema_version", kJsonSchemaVersion);
}

JsonWriter& JsonWriter::BeginObject(std::string_view key) {
  if (first_.empty()) {
    OpenDocument();
    return *this;
  }
  Key(key);
  out_ << "{";
  first_.push_back(true);
  return *this;
}
JsonWriter& JsonWriter::EndObject() {
  const bool empty = first_.back();
  first_.pop_back();
  if (!empty) out_ << "\n" << std::string(2 * first_.size(), ' ');
  out_ << "}";
  return *this;
}
JsonWriter& JsonWriter::BeginArray(std::string_view key) {
  if (first_.empty()) {
    OpenDocument();
    wrapped_ = true;
    if (key.empty()) key = "items";
  }
  Key(key);
  out_ << "[";
  first_.push_back(true);
  return *this;
}
JsonWriter& JsonWriter::EndArray() {
  const bool empty = first_.back();
  first_.pop_back();
  if (!empty) out_ << "\n" << std::string(2 * first_.size(), ' ');
  out_ << "]";
  if (wrapped_ && first_.size() == 1) {
    wrapped_ = false;
    EndObject();
  }
  return *this;
}
JsonWriter& JsonWriter::String(std::string_view key, std::string_view value) {
  Key(key);
  out_ << Escape(value);
  return *this;
}
JsonWriter& JsonWriter::Int(std::string_view key, long long value) {
  Key(key);
  out_ << value;
  return *this;
}
JsonWriter& JsonWriter::Bool(std::string_view key, bool value) {
  Key(key);
  out_ << (value ? "true" : "false");
  return *this;
}
JsonWriter& JsonWriter::Ints(std::string_view key, const std::vector<int>& values) {
  Key(key);
  out_ << "[";
  for (size_t i = 0; i < values.size(); ++i) out_ << (i ? ", " : "") << values[i];
  out_ << "]";
  return *this;
}

}  // namespace trx::ctl
