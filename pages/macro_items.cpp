#include "pages/macro_items.h"

#include "ui/core/container.h"
#include "ui/core/label.h"

namespace trx::pages {

namespace {
constexpr const char* kItemSuffix = "macro_action";
constexpr const char* kMouseStyle = "macro_label_mouse_style";
constexpr const char* kKeyboardStyle = "macro_label_keyboard_style";
constexpr const char* kTextStyle = "macro_label_text_style";
constexpr const char* kDownStyle = "macro_label_down_style";
constexpr const char* kUpStyle = "macro_label_up_style";
constexpr int kLabelCount = 3;

bool IsMove(const macro::MacroAction& a) {
  return a.Kind() == static_cast<uint8_t>(macro::MacroKind::PointerMoveX) ||
         a.Kind() == static_cast<uint8_t>(macro::MacroKind::PointerMoveY);
}

// A label's look is replaced whole: the image of an earlier style must go.
void Restyle(ui::CControlUI* label, const char* style, const std::string& text) {
  label->SetBkImage("");
  label->SetAttribute("style", style);
  label->SetText(text);
}
}  // namespace

ui::CListContainerElementUI* MakeActionItem(const std::string& family, const macro::MacroAction& action) {
  auto* item = new ui::CListContainerElementUI();
  item->SetName(family + kItemSuffix);
  item->SetFixedHeight(kActionItemHeight);
  item->SetAttribute("childvalign", "vcenter");
  for (int i = 0; i < kLabelCount; ++i) item->Add(new ui::CLabelUI());
  item->GetItemAt(0)->SetResourceText(true);  // the name key shows in the current language
  ShowAction(item, action);
  return item;
}

void ShowAction(ui::CControlUI* item, const macro::MacroAction& action) {
  auto* box = dynamic_cast<ui::CContainerUI*>(item);
  if (box == nullptr || box->GetCount() < kLabelCount) return;
  item->SetUserData(macro::FormatActionLine(action));
  Restyle(box->GetItemAt(0), action.IsKeyboard() ? kKeyboardStyle : kMouseStyle, action.name);
  if (IsMove(action))
    Restyle(box->GetItemAt(1), kTextStyle, std::to_string(action.code));
  else
    Restyle(box->GetItemAt(1), action.pressed != 0 ? kDownStyle : kUpStyle, "");
  Restyle(box->GetItemAt(2), kTextStyle, std::to_string(uint32_t{action.delay} * macro::kDelayUnitMs));
}

bool ItemAction(const ui::CControlUI* item, macro::MacroAction& action) {
  return item != nullptr && macro::ParseActionLine(item->GetUserData(), action);
}

}  // namespace trx::pages
