#pragma once
// The button and key pages' routing rows built so far:
//  - keyboard key page: a key picked ("kb_key_" + index) brings the
//    function panel "kb_tab_function" back when it is hidden;
//  (the keyboard lighting page is keyboard_lighting_page.h)
//  (the mouse button page is mouse_key_page.h)

#include "pages/page.h"

namespace trx::pages {

class CKeyboardKeyPage : public CPage {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;
};


}  // namespace trx::pages
