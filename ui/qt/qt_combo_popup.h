#pragma once
// QtComboPopup: the drop-down list of a combo, a Qt popup window below the
// combo that paints the combo's items (CComboUI::PaintDropDown) with the
// highlighted item (under the pointer, or moved by the arrow keys, at
// first the current one) in the list's hot colour, scrolls with the wheel
// and to keep the highlight in view, and selects the clicked item, or the
// highlighted one on Enter or Space, with notification (SelectItem(index,
// false, true)) after closing. Clicking outside or Escape closes it
// without a change. UI thread only.

#include <QWidget>

#include "ui/core/combo.h"

namespace trx::ui::qt {

class QtComboPopup : public QWidget {
 public:
  // Opens at the combo's bottom-left corner of `host` (global placement).
  QtComboPopup(QWidget* host, CComboUI* combo);
  ~QtComboPopup() override;
  CComboUI* Combo() const { return combo_; }
  // The combo is going away; close without touching it again.
  void Forget() { combo_ = nullptr; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  UiRect Area() const { return {0, 0, width(), height()}; }
  void ScrollBy(int dy);
  void ScrollTo(int index);  // scrolls the least that shows the item whole
  void Choose(int index);

  CComboUI* combo_;
  int hover_ = -1;  // the highlighted item: under the pointer or moved to by the keys
  int scroll_ = 0;
  int content_height_ = 0;
  bool closed_ = false;
};

}  // namespace trx::ui::qt
