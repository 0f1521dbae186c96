#pragma once
// A small streaming JSON writer for the command-line tool's --json output:
// objects, arrays, strings (escaped), integers and booleans, with commas
// placed by the writer. Not a general JSON library: keys and structure come
// from the program, never from input.
//
// Every document is an object whose first member is "schema_version"
// (kJsonSchemaVersion; docs/dbus-api.md lists the shapes of each version).
// A document that is a list opens with BeginArray(key): the writer wraps it
// as {"schema_version": N, key: [...]} and EndArray closes both.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace trx::ctl {

// Shapes only grow within a version: members may be added, never renamed,
// removed or retyped.
inline constexpr int kJsonSchemaVersion = 1;

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  JsonWriter& BeginObject(std::string_view key = {});
  JsonWriter& EndObject();
  JsonWriter& BeginArray(std::string_view key = {});
  JsonWriter& EndArray();
  JsonWriter& String(std::string_view key, std::string_view value);
  JsonWriter& Int(std::string_view key, long long value);
  JsonWriter& Bool(std::string_view key, bool value);
  // An array of integers on one line.
  JsonWriter& Ints(std::string_view key, const std::vector<int>& values);
  // Ends the document with a newline.
  void Finish() { out_ << "\n"; }

  static std::string Escape(std::string_view s);

 private:
  void Key(std::string_view key);
  std::ostream& out_;
  void OpenDocument();
  std::vector<bool> first_;  // per open level: no member written yet
  bool wrapped_ = false;     // a top-level list inside its document object
};

}  // namespace trx::ctl
