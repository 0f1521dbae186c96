#include "platform/file_names.h"

#include "platform/ini_file.h"

namespace trx {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool Blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string FileNameProblem(const std::string& name, size_t max_bytes) {
  if (name.empty()) return "the name is empty";
  if (name == "." || name == "..") return "the name \"" + name + "\" is reserved";
  if (Blank(name.front()) || Blank(name.back())) return "the name starts or ends with a blank";
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\') return "the name holds a path separator";
    if (u < 0x20 || u == 0x7F) return "the name holds a control character";
    if (c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
      return std::string("the name holds the character '") + c + "', which file names can't hold";
  }
  if (name.size() > max_bytes) return "the name is longer than a file name may be";
  if (CutToChars(name, kIniBufferChars - 1) != name) return "the name is longer than 259 characters";
  return {};
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

}  // namespace trx
