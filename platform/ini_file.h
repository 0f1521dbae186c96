#pragma once
// Private-profile INI files: the read and write calls the program's indexes
// and "main.ini" use, with the semantics users of such files expect.
//
//   [SECTION]
//   key=value
//
// - Section and key names are compared without regard to ASCII case; the
//   first matching section and, inside it, the first matching key count.
// - Names and values are trimmed of blanks; a value wrapped in one pair of
//   matching quotes ("..." or '...') is read without them.
// - Lines starting with ';' or '#' are comments. Comments, blank lines,
//   unknown lines and every line a write doesn't touch are kept byte for byte,
//   line endings included.
// - Files are UTF-8 (a UTF-8 byte-order mark is accepted and kept). A file
//   starting with a UTF-16 LE or BE byte-order mark is read as UTF-16 and
//   written back in the same encoding with its mark, so files brought over
//   from Windows keep working there.
// - Strings in this interface are UTF-8. The read buffer holds `buffer_chars`
//   characters including the terminator, so at most buffer_chars - 1
//   characters (Unicode code points) come back.
// - A write creates the file, the section or the key as needed. It replaces
//   the whole file atomically (platform/atomic_file.h): an interrupted write
//   leaves the old file intact. Writes that could not be read back are
//   refused: names or values that are not valid UTF-8 or hold line breaks,
//   keys holding '=' or starting with ';', '#' or '[', sections holding ']'.
// - A write that leaves the file's bytes as they are (the value is already
//   stored) writes nothing: no temporary file, no flush, the file keeps its
//   inode and modification time.
// - The file name is looked up whatever the case of its extension
//   (platform/file_lookup.h); a write goes to the spelling given and removes
//   the other spellings after it has taken over their contents.
//
// Thread safety: any thread. A process-wide mutex makes every read and every
// read-modify-write of any INI file one step, so two threads' writes never
// lose each other's keys. It is a leaf lock: nothing else is taken under it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trx {

inline constexpr size_t kIniBufferChars = 260;

// Reads the value of `key` in `section` into `out` (cut to buffer_chars - 1
// characters); `default_value` (trailing blanks removed) when the file,
// section or key is missing. Returns the number of characters in `out`.
size_t GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view default_value,
                               std::string& out, const std::string& path, size_t buffer_chars = kIniBufferChars);

// Reads the value (default "0") and converts it as strtol does: leading
// blanks and sign, decimal digits, stopping at the first other character;
// 0 when no digits.
long GetPrivateProfileLong(std::string_view section, std::string_view key, const std::string& path);

// Reads every key of `section` with its value in one pass over the file
// (for long lists, where one read per key would re-read the file each
// time): keys trimmed as written, values as GetPrivateProfileString gives
// them (unquoted, cut to buffer_chars - 1 characters); a key present twice
// counts once, with its first value. Empty when the file or section is
// missing.
std::vector<std::pair<std::string, std::string>> GetPrivateProfileSection(std::string_view section,
                                                                          const std::string& path,
                                                                          size_t buffer_chars = kIniBufferChars);

// Sets `key` in `section` to `value`. True when the file was written.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& path);
// Several keys of one file in one read-modify-write (one file replacement,
// or none when nothing changes). All or nothing: false, with the file
// untouched, when any entry is refused or the write fails.
struct IniEntry {
  std::string_view section;
  std::string_view key;
  std::string_view value;
};
bool WritePrivateProfileStrings(const std::vector<IniEntry>& entries, const std::string& path);
// Removes one key / a whole section (header and lines). True when the file
// is as asked afterwards (also when there was nothing to remove).
bool DeletePrivateProfileKey(std::string_view section, std::string_view key, const std::string& path);
bool DeletePrivateProfileSection(std::string_view section, const std::string& path);

// The parsed file, for the functions above and for tests and fuzzing.
class IniDocument {
 public:
  enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

  static IniDocument Parse(const uint8_t* data, size_t size);
  std::vector<uint8_t> Serialize() const;

  // False when absent; the value is unquoted and trimmed, not cut.
  bool Get(std::string_view section, std::string_view key, std::string& value) const;
  // Every key of the section once (first spelling and value), in file order.
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  bool RemoveKey(std::string_view section, std::string_view key);
  bool RemoveSection(std::string_view section);

  Encoding encoding() const { return encoding_; }

 private:
  struct Line {
    std::string text;  // without the line ending
    std::string eol;   // "\r\n", "\n", "\r" or "" (last line)
  };
  // Index range [begin, end) of the lines of the first matching section,
  // begin being the header; false when absent.
  bool FindSection(std::string_view section, size_t& begin, size_t& end) const;
  std::string DefaultEol() const;

  std::vector<Line> lines_;
  Encoding encoding_ = Encoding::Utf8;
};

// Cuts UTF-8 text to at most `chars` code points.
std::string CutToChars(std::string_view text, size_t chars);

}  // namespace trx
