#include "ui/core/dialog_builder.h"

#include <pugixml.hpp>

#include <algorithm>
#include <functional>
#include <map>

#include "platform/debug_log.h"
#include "platform/file_read.h"
#include "ui/core/color_palette.h"
#include "ui/core/combo.h"
#include "ui/core/container.h"
#include "ui/core/control_factory.h"
#include "ui/core/edit.h"
#include "ui/core/list.h"
#include "ui/core/menu.h"
#include "ui/core/option.h"
#include "ui/core/paint_manager.h"
#include "ui/core/progress.h"
#include "ui/core/resource_manager.h"

namespace trx::ui {

namespace {

// Nesting deeper than this is refused (keeps recursion bounded for any
// input); real layouts nest about a dozen levels.
constexpr int kMaxDepth = 128;
constexpr int kMaxIncludeDepth = 8;
constexpr int kMaxIncludeCount = 1000;

// Element names are compared without regard to case, as layouts written
// for the library spell them freely ("VerticalLayout", "verticallayout").
bool Is(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
      char x = a[i], y = b[i];
      if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
      if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

template <typename T>
CControlUI* Make() {
  return new T();
}

CControlUI* CreateBuiltin(std::string_view cls) {
  static const std::map<std::string_view, CControlUI* (*)(), NoCaseLess> kBuiltins = {
      {"Control", &Make<CControlUI>},
      {"Container", &Make<CContainerUI>},
      {"VerticalLayout", &Make<CVerticalLayoutUI>},
      {"HorizontalLayout", &Make<CHorizontalLayoutUI>},
      {"TabLayout", &Make<CTabLayoutUI>},
      {"Label", &Make<CLabelUI>},
      {"Text", &Make<CTextUI>},
      {"Button", &Make<CButtonUI>},
      {"Option", &Make<COptionUI>},
      {"CheckBox", &Make<CCheckBoxUI>},
      {"Edit", &Make<CEditUI>},
      {"Combo", &Make<CComboUI>},
      {"ListLabelElement", &Make<CListLabelElementUI>},
      {"ListTextElement", &Make<CListTextElementUI>},
      {"ListContainerElement", &Make<CListContainerElementUI>},
      {"List", &Make<CListUI>},
      {"ListEx", &Make<CListExUI>},
      {"ListHeader", &Make<CListHeaderUI>},
      {"ListHeaderItem", &Make<CListHeaderItemUI>},
      {"Slider", &Make<CSliderUI>},
      {"Progress", &Make<CProgressUI>},
      {"ColorPalette", &Make<CColorPaletteUI>},
      {"Menu", &Make<CMenuUI>},
      {"MenuElement", &Make<CMenuElementUI>},
  };
  auto it = kBuiltins.find(cls);
  return it != kBuiltins.end() ? it->second() : nullptr;
}

class Parser {
 public:
  Parser(IDialogBuilderCallback* callback, CPaintManagerUI* manager, int includeDepth)
      : callback_(callback), manager_(manager), includeDepth_(includeDepth) {}

  // Window-level declarations (fonts, defaults, styles) and attributes.
  void ParseWindow(pugi::xml_node window) {
    if (manager_ == nullptr) return;
    for (pugi::xml_attribute a : window.attributes()) manager_->SetWindowAttribute(a.name(), a.value());
  }

  // Returns true when the element was a declaration (not a control).
  bool ParseDeclaration(pugi::xml_node node) {
    std::string_view tag = node.name();
    if (Is(tag, "Font")) {
      if (manager_ != nullptr) {
        TFontInfo f;
        f.name = node.attribute("name").value();
        f.size = node.attribute("size") ? ParseInt(node.attribute("size").value()) : 12;
        if (f.size <= 0) f.size = 12;
        f.bold = ParseBool(node.attribute("bold").value());
        f.underline = ParseBool(node.attribute("underline").value());
        f.italic = ParseBool(node.attribute("italic").value());
        int id = node.attribute("id") ? ParseInt(node.attribute("id").value()) : -1;
        manager_->AddFont(id, f, ParseBool(node.attribute("default").value()));
      }
      return true;
    }
    if (Is(tag, "Default")) {
      if (manager_ != nullptr) {
        manager_->AddDefaultAttributeList(node.attribute("name").value(), node.attribute("value").value());
      }
      return true;
    }
    if (Is(tag, "Style")) {
      if (manager_ != nullptr) manager_->AddStyle(node.attribute("name").value(), node.attribute("value").value());
      return true;
    }
    if (Is(tag, "Image") || Is(tag, "Script") || Is(tag, "MultiLanguage")) return true;
    return false;
  }

  // Builds the control elements among node's children into parent (a
  // container, or null for top level). Returns the first built control.
  CControlUI* ParseChildren(pugi::xml_node node, CControlUI* parent, int depth,
                            std::vector<CControlUI*>* topLevel) {
    CControlUI* first = nullptr;
    for (pugi::xml_node child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      if (ParseDeclaration(child)) continue;
      std::string_view tag = child.name();
      if (Is(tag, "Include")) {
        CControlUI* c = ParseInclude(child, parent, topLevel);
        if (first == nullptr) first = c;
        continue;
      }
      CControlUI* c = ParseControl(child, parent, depth);
      if (c == nullptr) continue;
      if (first == nullptr) first = c;
      if (parent == nullptr && topLevel != nullptr) topLevel->push_back(c);
    }
    return first;
  }

 private:
  CControlUI* Create(std::string_view cls) {
    if (CControlUI* c = CreateBuiltin(cls)) return c;
    if (callback_ != nullptr) {
      if (CControlUI* c = callback_->CreateControl(cls)) return c;
    }
    return CControlFactory::GetInstance()->CreateControl(cls);
  }

  CControlUI* ParseControl(pugi::xml_node node, CControlUI* parent, int depth) {
    if (depth > kMaxDepth) {
      DebugLineF("layout nests deeper than %d levels; <%s> skipped", kMaxDepth, node.name());
      return nullptr;
    }
    std::string_view cls = node.name();
    CControlUI* control = Create(cls);
    if (control == nullptr) {
      DebugLineF("layout: unknown control class <%s> skipped", node.name());
      return nullptr;
    }
    // Attached early (not initialised) so that style lists and option groups
    // can reach the manager while attributes are applied.
    control->SetManager(manager_, parent, false);
    if (manager_ != nullptr) {
      std::string defaults = manager_->GetDefaultAttributeList(cls);
      if (!defaults.empty()) control->ApplyAttributeList(defaults);
    }
    auto* container = static_cast<CContainerUI*>(control->GetInterface("Container"));
    if (container != nullptr) {
      ParseChildren(node, container, depth + 1, nullptr);
    } else if (node.first_child().type() == pugi::node_element) {
      DebugLineF("layout: <%s> cannot hold children; they are ignored", node.name());
    }
    for (pugi::xml_attribute a : node.attributes()) control->SetAttribute(a.name(), a.value());
    if (parent != nullptr) {
      auto* parentContainer = static_cast<CContainerUI*>(parent->GetInterface("Container"));
      if (parentContainer == nullptr || !parentContainer->Add(control)) {
        delete control;
        return nullptr;
      }
    }
    return control;
  }

  CControlUI* ParseInclude(pugi::xml_node node, CControlUI* parent, std::vector<CControlUI*>* topLevel) {
    if (includeDepth_ >= kMaxIncludeDepth) {
      DebugLine("layout: <Include> nested too deeply; skipped");
      return nullptr;
    }
    std::string source = node.attribute("source").value();
    int count = node.attribute("count") ? ParseInt(node.attribute("count").value()) : 1;
    if (source.empty() || count <= 0) return nullptr;
    if (count > kMaxIncludeCount) count = kMaxIncludeCount;
    CControlUI* first = nullptr;
    for (int i = 0; i < count; ++i) {
      CControlUI* c = BuildFile(source, parent);
      if (c == nullptr) break;
      if (first == nullptr) first = c;
      if (parent == nullptr && topLevel != nullptr) topLevel->push_back(c);
    }
    return first;
  }

  CControlUI* BuildFile(const std::string& source, CControlUI* parent);

  IDialogBuilderCallback* callback_;
  CPaintManagerUI* manager_;
  int includeDepth_;
};

// Loads `xml` (text, index key or file) into doc; false with a message.
bool LoadDocument(std::string_view xml, pugi::xml_document* doc, std::string* error) {
  size_t start = xml.find_first_not_of(" \t\r\n");
  pugi::xml_parse_result result;
  std::string where;
  if (start != std::string_view::npos && xml[start] == '<') {
    result = doc->load_buffer(xml.data(), xml.size());
    where = "layout text";
  } else {
    std::string file = CResourceManager::GetInstance()->GetXmlPath(xml);
    if (file.empty()) file = std::string(xml);
    where = CPaintManagerUI::ResolveResourceFile(file);
    std::vector<uint8_t> bytes;
    if (const FileReadResult read = ReadRegularFile(where, bytes, kMaxSkinFileBytes); read != FileReadResult::Ok) {
      *error = DescribeFileRead(read, where, kMaxSkinFileBytes);
      return false;
    }
    result = doc->load_buffer(bytes.data(), bytes.size());
  }
  if (!result) {
    *error = where + ": " + result.description() + " at offset " + std::to_string(result.offset);
    return false;
  }
  if (!doc->document_element()) {
    *error = where + ": no root element";
    return false;
  }
  return true;
}

CControlUI* BuildDocument(pugi::xml_document& doc, IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                          CControlUI* parent, int includeDepth) {
  Parser parser(callback, manager, includeDepth);
  pugi::xml_node root = doc.document_element();
  std::vector<CControlUI*> topLevel;
  CControlUI* first = nullptr;
  std::string_view rootName = root.name();
  if (Is(rootName, "Window")) {
    parser.ParseWindow(root);
    first = parser.ParseChildren(root, parent, 1, &topLevel);
  } else {
    // The root element itself is the control (menus, sub-layouts).
    first = parser.ParseChildren(doc, parent, 1, &topLevel);
  }
  if (parent == nullptr && topLevel.size() > 1) {
    // Only one root can be returned; the others would be lost.
    DebugLineF("layout has %zu top-level controls; only the first is kept", topLevel.size());
    for (size_t i = 1; i < topLevel.size(); ++i) delete topLevel[i];
  }
  return first;
}

CControlUI* Parser::BuildFile(const std::string& source, CControlUI* parent) {
  pugi::xml_document doc;
  std::string error;
  if (!LoadDocument(source, &doc, &error)) {
    DebugLine("layout include failed: " + error);
    return nullptr;
  }
  return BuildDocument(doc, callback_, manager_, parent, includeDepth_ + 1);
}

}  // namespace

CControlUI* CDialogBuilder::Create(std::string_view xml, std::string_view /*type*/,
                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent) {
  lastError_.clear();
  pugi::xml_document doc;
  if (!LoadDocument(xml, &doc, &lastError_)) {
    DebugLine("layout failed to load: " + lastError_);
    return nullptr;
  }
  if (parent != nullptr && parent->GetInterface("Container") == nullptr) {
    lastError_ = "parent is not a container";
    DebugLine("layout: " + lastError_);
    return nullptr;
  }
  CControlUI* root = BuildDocument(doc, callback, manager, parent, 0);
  if (root == nullptr) {
    lastError_ = "layout holds no control";
    DebugLine("layout: " + lastError_);
    return nullptr;
  }
  if (parent == nullptr && manager != nullptr) manager->InitControls(root, nullptr);
  return root;
}

}  // namespace trx::ui
