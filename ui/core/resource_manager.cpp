#include "ui/core/resource_manager.h"

#include <pugixml.hpp>

#include "platform/debug_log.h"
#include "platform/file_read.h"
#include "ui/core/paint_manager.h"

namespace trx::ui {

CResourceManager* CResourceManager::GetInstance() {
  static CResourceManager manager;
  return &manager;
}

namespace {

bool LoadXmlFile(std::string_view file, pugi::xml_document* doc, std::string* path) {
  *path = CPaintManagerUI::ResolveResourceFile(file);
  // Only a regular file of bounded size: a FIFO or device must not hang the
  // start, nor a huge file exhaust memory.
  std::vector<uint8_t> bytes;
  if (const FileReadResult read = ReadRegularFile(*path, bytes, kMaxSkinFileBytes); read != FileReadResult::Ok) {
    DebugLine("resource file: " + DescribeFileRead(read, *path, kMaxSkinFileBytes));
    return false;
  }
  pugi::xml_parse_result result = doc->load_buffer(bytes.data(), bytes.size());
  if (!result) {
    DebugLineF("resource file %s: %s at offset %lld", path->c_str(), result.description(),
               static_cast<long long>(result.offset));
    return false;
  }
  return true;
}

}  // namespace

bool CResourceManager::LoadResource(std::string_view xml, std::string_view /*type*/) {
  pugi::xml_document doc;
  std::string path;
  if (!LoadXmlFile(xml, &doc, &path)) return false;
  pugi::xml_node root = doc.document_element();
  std::map<std::string, std::string, std::less<>> index;
  for (pugi::xml_node node : root.children()) {
    std::string_view tag = node.name();
    if (tag != "Xml" && tag != "xml" && tag != "XML") continue;
    if (node.attribute("name")) {
      index[node.attribute("name").value()] = node.attribute("path") ? node.attribute("path").value()
                                                                     : node.attribute("value").value();
    }
    for (pugi::xml_node item : node.children("Item")) {
      index[item.attribute("name").value()] = item.attribute("value") ? item.attribute("value").value()
                                                                      : item.attribute("path").value();
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& [k, v] : index) xmlIndex_[k] = v;
  return true;
}

std::string CResourceManager::GetXmlPath(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = xmlIndex_.find(key);
  return it != xmlIndex_.end() ? it->second : std::string();
}

bool CResourceManager::LoadLanguage(std::string_view file) {
  pugi::xml_document doc;
  std::string path;
  if (!LoadXmlFile(file, &doc, &path)) return false;
  pugi::xml_node root = doc.document_element();
  std::map<std::string, std::string, std::less<>> texts;
  for (pugi::xml_node node : root.children("Text")) {
    const char* id = node.attribute("id").value();
    if (*id == '\0') continue;
    texts[id] = node.attribute("value").value();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  texts_ = std::move(texts);
  if (root.attribute("name")) language_ = root.attribute("name").value();
  return true;
}

std::string CResourceManager::GetTextIn(std::string_view file, std::string_view id) const {
  pugi::xml_document doc;
  std::string path;
  if (!LoadXmlFile(file, &doc, &path)) return {};
  for (pugi::xml_node node : doc.document_element().children("Text"))
    if (id == node.attribute("id").value()) return node.attribute("value").value();
  return {};
}

void CResourceManager::SetLanguage(std::string_view name) {
  std::lock_guard<std::mutex> lock(mutex_);
  language_ = name;
}

std::string CResourceManager::GetLanguage() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return language_;
}

void CResourceManager::SetTextQueryInterface(IQueryControlText* query) {
  std::lock_guard<std::mutex> lock(mutex_);
  query_ = query;
}

std::string CResourceManager::GetText(std::string_view id, std::string_view type) const {
  IQueryControlText* query = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = texts_.find(id);
    if (it != texts_.end()) return it->second;
    query = query_;
  }
  // Asked without the lock: the query may call back into the manager.
  if (query != nullptr) {
    std::string text = query->QueryControlText(id, type);
    if (!text.empty()) return text;
  }
  return std::string(id);
}

void CResourceManager::ReloadText() {
  CPaintManagerUI::ForEachManager([](CPaintManagerUI* pm) { pm->ReloadText(); });
}

void CResourceManager::Release() {
  std::lock_guard<std::mutex> lock(mutex_);
  xmlIndex_.clear();
  texts_.clear();
  language_.clear();
  query_ = nullptr;
}

}  // namespace trx::ui
