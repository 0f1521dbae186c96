#pragma once
// CResourceManager: the resource index and the language texts.
//
// Resource index ("res.xml", relative to the resource path):
//   <Res>
//     <Xml name="XML_MAIN" path="main.xml"/>
//     <Xml name="XML_MSG" path="msg.xml"/>
//   </Res>
// (also accepted: <Res><Xml><Item name= value=/></Xml></Res>).
// Language file ("lan_cn.xml", "lan_en.xml"):
//   <Language name="cn_zh">
//     <Text id="message_text_1" value="..."/>
//   </Language>
// GetText(id) gives the text of the loaded language; ids that are missing
// are asked of the IQueryControlText interface, then show the id itself.
// ReloadText() makes every live paint manager re-read its resource texts.
// Threading: loading and ReloadText on the UI thread; GetText may be called
// from any thread (the tables are guarded by mutex_).

#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace trx::ui {

// Layouts, the resource index and language files are read only when they
// are regular files of at most this size (the largest layout is well under
// 200 KB); anything else is refused with a debug line.
inline constexpr size_t kMaxSkinFileBytes = 4u << 20;

class IQueryControlText {
 public:
  virtual ~IQueryControlText() = default;
  // Text for an id the language file lacks; empty = none.
  virtual std::string QueryControlText(std::string_view id, std::string_view type) = 0;
};

class CResourceManager {
 public:
  static CResourceManager* GetInstance();

  // Loads the resource index; false (and a debug line) when the file is
  // missing or malformed, the previous index is then kept.
  bool LoadResource(std::string_view xml, std::string_view type = {});
  // File named by key, or "" when the key is unknown.
  std::string GetXmlPath(std::string_view key) const;

  // Loads a language file, replacing the current texts; false (texts kept)
  // when it cannot be read.
  bool LoadLanguage(std::string_view file);
  void SetLanguage(std::string_view name);
  std::string GetLanguage() const;
  void SetTextQueryInterface(IQueryControlText* query);
  std::string GetText(std::string_view id, std::string_view type = {}) const;
  // The text of `id` in another language file without loading it; "" when
  // the file can't be read or has no such text. UI thread.
  std::string GetTextIn(std::string_view file, std::string_view id) const;
  void ReloadText();
  // Drops the index, the texts and the query interface.
  void Release();

 private:
  mutable std::mutex mutex_;  // guards every member below
  std::map<std::string, std::string, std::less<>> xmlIndex_;
  std::map<std::string, std::string, std::less<>> texts_;
  std::string language_;
  IQueryControlText* query_ = nullptr;
};

}  // namespace trx::ui
