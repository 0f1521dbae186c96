#pragma once
// COptionUI: a button that stays selected. Options with the same "group"
// in one paint manager are exclusive: selecting one unselects the others.
// A click raises "click" first, then selects (grouped) or toggles
// (ungrouped). Selection notification order:
// the group mates are unselected silently, then the newly selected option
// raises "selectchanged" (wParam 1). Only ungrouped options also notify when
// they become unselected (wParam 0). Selecting an already selected option
// changes nothing and notifies nothing. Arrow keys step through a group.
// CCheckBoxUI: an ungrouped option with SetCheck/GetCheck. UI thread only.

#include "ui/core/button.h"

namespace trx::ui {

class COptionUI : public CButtonUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  bool Activate() override;

  const std::string& GetGroup() const { return group_; }
  void SetGroup(std::string_view group);
  bool IsSelected() const { return selected_; }
  // Changes the selection (see the notification order above); notify=false
  // changes it silently.
  virtual void Selected(bool selected, bool notify = true);

  const std::string& GetSelectedImage() const { return selectedImage_; }
  void SetSelectedImage(std::string_view s) { selectedImage_ = s; Invalidate(); }
  const std::string& GetSelectedHotImage() const { return selectedHotImage_; }
  void SetSelectedHotImage(std::string_view s) { selectedHotImage_ = s; Invalidate(); }
  UiColor GetSelectedBkColor() const { return selectedBkColor_; }
  void SetSelectedBkColor(UiColor c) { selectedBkColor_ = c; Invalidate(); }
  UiColor GetSelectedTextColor() const { return selectedTextColor_; }
  void SetSelectedTextColor(UiColor c) { selectedTextColor_ = c; Invalidate(); }

  bool SetAttribute(std::string_view name, std::string_view value) override;
  // Arrow keys on a focused grouped option move focus and selection to the
  // previous/next usable option of the group, like radio buttons.
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(IRenderer& r) override;
  void PaintStatusImage(IRenderer& r) override;

 protected:
  UiColor CurrentTextColor() const override;
  std::string group_;
  bool selected_ = false;
  std::string selectedImage_, selectedHotImage_;
  UiColor selectedBkColor_ = 0;
  UiColor selectedTextColor_ = 0;
};

class CCheckBoxUI : public COptionUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  void SetCheck(bool check, bool notify = true) { Selected(check, notify); }
  bool GetCheck() const { return IsSelected(); }
};

}  // namespace trx::ui
