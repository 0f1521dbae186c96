// The skin package as files: its index, language files and images.

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/golden.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSkin = fs::path(TRX770_SOURCE_DIR) / "skin";

std::vector<fs::path> Layouts() {
  std::vector<fs::path> out;
  for (const auto& entry : fs::directory_iterator(kSkin)) {
    const fs::path& p = entry.path();
    if (p.extension() != ".xml") continue;
    const std::string name = p.filename().string();
    if (name == "res.xml" || name.rfind("lan_", 0) == 0) continue;
    out.push_back(p);
  }
  return out;
}

// id -> text of a language file; fails the test when it does not parse.
std::map<std::string, std::string> LoadTexts(const std::string& file, std::string* language) {
  pugi::xml_document doc;
  const pugi::xml_parse_result r = doc.load_file((kSkin / file).c_str());
  EXPECT_TRUE(r) << file << ": " << r.description();
  std::map<std::string, std::string> texts;
  pugi::xml_node root = doc.child("Language");
  if (language != nullptr) *language = root.attribute("name").value();
  for (pugi::xml_node t : root.children("Text")) {
    const std::string id = t.attribute("id").value();
    EXPECT_EQ(texts.count(id), 0u) << file << " defines " << id << " twice";
    texts[id] = t.attribute("value").value();
  }
  return texts;
}

// Every attribute value of every element of a layout file.
std::vector<std::string> AttributeValues(const fs::path& file) {
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_file(file.c_str())) << file;
  std::vector<std::string> values;
  for (pugi::xpath_node n : doc.select_nodes("//*"))
    for (pugi::xml_attribute a : n.node().attributes()) values.emplace_back(a.value());
  return values;
}

// Number of printf conversions ("%d", "%s"...) in a text.
int Conversions(const std::string& text) {
  int n = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '%') n += text[++i] != '%';  // "%%" is no conversion
  return n;
}

bool HasCjk(const std::string& utf8) {
  // A lead byte of the CJK ideograph block U+4E00..U+9FFF.
  return std::ranges::any_of(utf8, [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0xE4 && byte <= 0xE9;
  });
}

// The main window has a caption strip.
TEST(SkinIndex, NamesTheLayoutsEveryLayoutParsesMainWindowIsFramelessAt800By572) {
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file((kSkin / "res.xml").c_str()));
  std::map<std::string, std::string> keys;
  for (pugi::xml_node x : doc.child("Res").children("Xml")) keys[x.attribute("name").value()] = x.attribute("path").value();
  EXPECT_EQ(keys["XML_MAIN"], "main.xml");
  EXPECT_EQ(keys["XML_MSG"], "MsgWnd.xml");
  for (const auto& [key, path] : keys) EXPECT_TRUE(fs::exists(kSkin / path)) << key << " -> " << path;
  for (const fs::path& p : Layouts()) {
    const pugi::xml_parse_result r = doc.load_file(p.c_str());
    EXPECT_TRUE(r) << p.filename() << ": " << r.description() << " at " << r.offset;
  }
  ASSERT_TRUE(doc.load_file((kSkin / "main.xml").c_str()));
  EXPECT_STREQ(doc.child("Window").attribute("size").value(), "800,572");
  EXPECT_STRNE(doc.child("Window").attribute("caption").value(), "");
}

// A translation with other conversions than its format text would read a missing argument.
TEST(SkinLanguages, BothFilesDefineTheSameTextsWithTheSameConversionsAndEveryTextAskedFor) {
  std::string en_name, cn_name;
  const auto en = LoadTexts("lan_en.xml", &en_name);
  const auto cn = LoadTexts("lan_cn.xml", &cn_name);
  EXPECT_EQ(en_name, "en");
  EXPECT_EQ(cn_name, "cn_zh");
  for (const auto& [id, text] : en) EXPECT_EQ(cn.count(id), 1u) << id << " is missing from lan_cn.xml";
  for (const auto& [id, text] : cn) EXPECT_EQ(en.count(id), 1u) << id << " is missing from lan_en.xml";
  for (int i = 1; i <= 20; ++i) {
    const std::string id = "message_text_" + std::to_string(i);
    ASSERT_EQ(en.count(id), 1u) << id;
    ASSERT_EQ(cn.count(id), 1u) << id;
    EXPECT_GT(en.at(id).size(), 8u) << id;
    EXPECT_FALSE(HasCjk(en.at(id))) << id << " of lan_en.xml is not English";
    EXPECT_TRUE(HasCjk(cn.at(id))) << id << " of lan_cn.xml is not Chinese";
  }
  EXPECT_EQ(Conversions(en.at("message_text_16")), 1);
  EXPECT_EQ(Conversions(en.at("message_text_17")), 1);
  for (const auto& [id, text] : en) {
    if (cn.count(id) != 0) {
      EXPECT_EQ(Conversions(text), Conversions(cn.at(id))) << id;
    }
  }
  // Every text a layout asks for, and the function and key names pages put on labels.
  for (const fs::path& p : Layouts()) {
    for (const std::string& v : AttributeValues(p)) {
      // A resource text is the whole value: "%[id]" (ids may contain ']').
      if (v.size() < 3 || v.compare(0, 2, "%[") != 0 || v.back() != ']') continue;
      const std::string id = v.substr(2, v.size() - 3);
      EXPECT_EQ(en.count(id), 1u) << p.filename() << " uses " << id << ", missing from lan_en.xml";
      EXPECT_EQ(cn.count(id), 1u) << p.filename() << " uses " << id << ", missing from lan_cn.xml";
    }
  }
  for (const std::string& id : trx::test::ReadGoldenNames("skin/runtime_texts.txt")) EXPECT_EQ(en.count(id), 1u) << id;
}

// The files named by image descriptions ("file='...'") in an attribute value.
std::vector<std::string> ImageFiles(const std::string& value) {
  std::vector<std::string> files;
  const std::string key = "file='";
  for (size_t at = value.find(key); at != std::string::npos; at = value.find(key, at)) {
    at += key.size();
    const size_t end = value.find('\'', at);
    if (end == std::string::npos) break;
    files.push_back(value.substr(at, end - at));
    at = end;
  }
  return files;
}

// The listed images are those pages set at run time, and the default background.
TEST(SkinImages, EveryImageALayoutOrAPageNamesIsInThePackage) {
  int checked = 0;
  for (const fs::path& p : Layouts())
    for (const std::string& v : AttributeValues(p))
      for (const std::string& image : ImageFiles(v)) {
        EXPECT_TRUE(fs::exists(kSkin / image)) << p.filename() << " names " << image;
        ++checked;
      }
  EXPECT_GT(checked, 100);
  for (const std::string& image : trx::test::ReadGoldenNames("skin/runtime_images.txt"))
    EXPECT_TRUE(fs::exists(kSkin / image)) << image;
}

}  // namespace
