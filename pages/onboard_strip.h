#pragma once
// The mouse's onboard profile buttons "ms_profile_0" … "ms_profile_4": a
// click makes that onboard profile the mouse's active one (indices outside
// 0 … 4 are ignored).

#include "pages/page.h"

namespace trx::pages {

class COnboardStrip : public CPage {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;
};

}  // namespace trx::pages
