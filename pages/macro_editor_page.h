#pragma once
// The macro editor pages (mouse "ms_", keyboard "kb_"): the routing rows
// built so far.
//  - The recording options (mouse page) are read when a recording starts:
//    selecting one ends the selection handler.
//  - The mouse-event box ("…_macro_btn_shubiao") ends the selection handler
//    before the macro-edit guard, so ticking it while editing is no refusal.
//  - The insert buttons ("…_macro_inset_…_btn") leave only their key's
//    panel visible (the pointer moves have none).

#include <string>

#include "pages/page.h"

namespace trx::pages {

class CMacroEditorPage : public CPage {
 public:
  // family: "ms_" or "kb_".
  CMacroEditorPage(PageContext& context, std::string family) : CPage(context), family_(std::move(family)) {}
  void Bind(CRouter& router) override;

 private:
  void ShowInsertPanel(const std::string& button);
  std::string family_;
};

}  // namespace trx::pages
