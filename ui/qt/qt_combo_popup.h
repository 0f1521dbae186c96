#pragma once
// QtComboPopup: the drop-down list of a combo, a Qt popup window below the
// combo that paints the combo's items (CComboUI::PaintDropDown) with the
// item under the pointer in the list's hot colour, scrolls
// with the wheel and the arrow keys, and selects the clicked item with
// notification (SelectItem(index, false, true)) before closing. Clicking
// outside or Escape closes it without a change. UI thread only.

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
  void Choose(int index);

  CComboUI* combo_;
  int hover_ = -1;  // item under the pointer, highlighted
  int scroll_ = 0;
  int content_height_ = 0;
  bool closed_ = false;
};

}  // namespace trx::ui::qt
