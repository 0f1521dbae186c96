#include "pages/sub_layouts.h"

#include "pages/name_split.h"

namespace trx::pages {

const char* SubLayoutFile(std::string_view element_class) {
  for (const SubLayout& s : kSubLayouts)
    if (SameName(element_class, s.element_class)) return s.file;
  return nullptr;
}

}  // namespace trx::pages
