#include "app/window_messages.h"

#include <string>

#include "app/app_messages.h"
#include "macro/macro_library.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/msg_wnd.h"

namespace trx::app {
namespace {

ui::MsgButtons MessageButtons(std::string_view text_id) {
  for (const char* question : kQuestionTextIds)
    if (text_id == question) return ui::MsgButtons::Question;
  return ui::MsgButtons::Notice;
}

}  // namespace

int CWindowMessages::ShowId(std::string_view text_id) const {
  return ui::ShowMessage(Owner(), text_id, true, MessageButtons(text_id));
}

int CWindowMessages::ShowNamed(std::string_view text_id, std::string_view name) const {
  std::string text = ui::CResourceManager::GetInstance()->GetText(text_id);
  if (const auto at = text.find("{name}"); at != std::string::npos) text.replace(at, 6, name);
  return ui::ShowMessage(Owner(), text, false, MessageButtons(text_id));
}

int CWindowMessages::ShowText(std::string_view text) const {
  return ui::ShowMessage(Owner(), text, false, ui::MsgButtons::Notice);
}

int CWindowMessages::ShowCount(std::string_view text_id, uint64_t number) const {
  const std::string format = ui::CResourceManager::GetInstance()->GetText(text_id);
  return ui::ShowMessage(Owner(), macro::FormatCountMessage(format, number), false, MessageButtons(text_id));
}

}  // namespace trx::app
