#pragma once
// The mouse's performance page ("Mouse_DPI.xml"): the DPI level colours.
// A DPI colour button opens the palette on its colour; on OK the button
// shows the colour, it becomes the colour of DPI level k (current record
// bytes 21 + 3 (k - 1): r, g, b), the mouse's settings go out with the next
// send and the device profile is saved.

#include "pages/page.h"

namespace trx::pages {

class CMousePerformancePage : public CPage {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;

 private:
  void PickDpiColour(ui::CControlUI* button, int level);
};

}  // namespace trx::pages
