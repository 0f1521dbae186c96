#include "ctl/action_names.h"

#include <pugixml.hpp>

#include <map>
#include <string_view>

#include "platform/program_folder.h"

namespace trx::ctl {
namespace {

using Texts = std::map<std::string, std::string, std::less<>>;

Texts LoadEnglishTexts() {
  Texts texts;
  pugi::xml_document doc;
  const std::string path = ProgramFolder() + "skin/lan_en.xml";
  if (!doc.load_file(path.c_str())) return texts;
  for (pugi::xml_node text : doc.child("Language").children("Text"))
    texts.emplace(text.attribute("id").value(), text.attribute("value").value());
  return texts;
}

std::string FromKey(std::string_view key) {
  for (std::string_view prefix : {"keyboard_key_", "mouse_"})
    if (key.substr(0, prefix.size()) == prefix) key.remove_prefix(prefix.size());
  if (key.size() > 5 && key.substr(key.size() - 5) == "_text") key.remove_suffix(5);
  std::string name(key);
  for (char& c : name)
    if (c == '_') c = ' ';
  return name;
}

}  // namespace

std::string ReadableActionName(const std::string& language_key) {
  static const Texts texts = LoadEnglishTexts();
  const auto it = texts.find(language_key);
  return it != texts.end() && !it->second.empty() ? it->second : FromKey(language_key);
}

}  // namespace trx::ctl
