#pragma once
// CControlUI: the base of every control. A control has a name, text,
// tooltip, state flags, colours and images, a position computed by its
// parent's layout (or given by "pos" when floating), and paints itself
// through IRenderer in a fixed order: background colour, background image,
// status image, text, border.
//
// Ownership: a container owns its children (deleted with it); the paint
// manager owns the root it was given by AttachDialog.
// Threading: UI thread only.
//
// Resource text: when IsResourceText() the stored text is a language text id
// and GetText() returns the text of the loaded language for that id (the id
// itself when missing), so ReloadText updates every such control in place.
// In layouts, resourcetext="true" or a text written as "%[id]" mark it; a
// tooltip written "%[id]" is resolved the same way on its own.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "ui/core/event.h"
#include "ui/core/image_desc.h"
#include "ui/core/notify.h"
#include "ui/core/renderer.h"
#include "ui/core/ui_types.h"

namespace trx::ui {

class CPaintManagerUI;

// Flags for FindControl visits.
enum FindFlags : unsigned {
  UIFIND_ALL = 0x0,
  UIFIND_VISIBLE = 0x1,
  UIFIND_ENABLED = 0x2,
  UIFIND_HITTEST = 0x4,   // only controls containing the point
  UIFIND_TOP_FIRST = 0x8, // later (top-most) children first
  UIFIND_ME_FIRST = 0x8000,
};

// Visitor: return true to stop at this control.
using FindPredicate = std::function<bool(CControlUI*)>;

// Control states (button and option images).
enum ControlState : unsigned {
  UISTATE_FOCUSED = 0x01,
  UISTATE_SELECTED = 0x02,
  UISTATE_DISABLED = 0x04,
  UISTATE_HOT = 0x08,
  UISTATE_PUSHED = 0x10,
  UISTATE_CAPTURED = 0x40,
};

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // Class name: the layout element name with "UI" appended ("ControlUI",
  // "ButtonUI", "OptionUI", "TextUI"); the program's own controls return
  // their own names.
  virtual std::string_view GetClass() const;
  // Interface query by layout element name ("Button", "Option",
  // "Container"...); returns this when the control is of that kind, else
  // null.
  virtual void* GetInterface(std::string_view name);

  // ---- identity and text ----
  const std::string& GetName() const { return name_; }
  virtual void SetName(std::string_view name);
  // The shown text (resolved through the language when resource text).
  virtual std::string GetText() const;
  // The stored text (the id for resource texts).
  const std::string& GetRawText() const { return text_; }
  virtual void SetText(std::string_view text);
  bool IsResourceText() const { return resourceText_; }
  void SetResourceText(bool resource);
  // The tooltip; while the control (or a container it lies in) is
  // disabled, that one's disabled tooltip ("disabledtooltip": why it can't
  // be used) when it has one.
  virtual std::string GetToolTip() const;
  void SetToolTip(std::string_view tip) { tooltip_ = tip; }
  void SetDisabledToolTip(std::string_view tip) { disabledTooltip_ = tip; }
  const std::string& GetUserData() const { return userData_; }
  void SetUserData(std::string_view data) { userData_ = data; }
  std::uintptr_t GetTag() const { return tag_; }
  void SetTag(std::uintptr_t tag) { tag_ = tag; }
  // Re-reads resource texts after a language change (containers recurse).
  virtual void ReloadText();

  // ---- state ----
  virtual bool IsVisible() const { return visible_ && internVisible_; }
  virtual void SetVisible(bool visible = true);
  // Visibility imposed by a parent (tab layouts hide unselected pages).
  virtual void SetInternVisible(bool visible = true);
  virtual bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled = true);
  bool IsMouseEnabled() const { return mouseEnabled_; }
  void SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
  bool IsKeyboardEnabled() const { return keyboardEnabled_; }
  void SetKeyboardEnabled(bool enabled) { keyboardEnabled_ = enabled; }
  // Whether a press on this control raises the drag notifications
  // ("dragbegin", "dragmove", "dragend", notify.h); layout attribute
  // dragnotify="true".
  bool IsDragNotify() const { return dragNotify_; }
  void SetDragNotify(bool on) { dragNotify_ = on; }
  virtual bool IsFocused() const { return focused_; }
  virtual void SetFocus();
  // Whether Tab and clicks can give this control the focus.
  virtual bool IsFocusable() const { return false; }
  unsigned GetState() const;
  // Performs the control's action as if clicked; false when disabled or
  // invisible.
  virtual bool Activate();

  // ---- look ----
  UiColor GetBkColor() const { return bkColor_; }
  void SetBkColor(UiColor color);
  const std::string& GetBkImage() const { return bkImage_; }
  void SetBkImage(std::string_view image);
  UiColor GetForeColor() const { return foreColor_; }
  void SetForeColor(UiColor color);
  int GetBorderSize() const { return borderSize_; }
  void SetBorderSize(int size);
  UiColor GetBorderColor() const { return borderColor_; }
  void SetBorderColor(UiColor color);
  UiColor GetFocusBorderColor() const { return focusBorderColor_; }
  void SetFocusBorderColor(UiColor color) { focusBorderColor_ = color; }
  UiSize GetBorderRound() const { return borderRound_; }
  void SetBorderRound(UiSize round);

  // Tint: with IsChangerColor the control's images are drawn with the tint
  // colour laid over them at the tint alpha (0..255).
  bool IsChangerColor() const { return tint_.enabled; }
  void SetIsChangerColor(bool on);
  UiColor GetChangerColor() const { return tint_.color; }
  void SetChangerColor(UiColor color);
  int GetChangerAlpha() const { return tint_.alpha; }
  void SetChangerAlpha(int alpha);  // clamped to 0..255
  const TImageTint& GetTint() const { return tint_; }
  // Replaces the tint without a repaint and returns the old one: for
  // painting the control under another tint (the paint manager's
  // PaintWithTint). UI thread.
  TImageTint ReplaceTint(const TImageTint& tint) { return std::exchange(tint_, tint); }
  // What this control draws differently under `tint` besides the tint laid
  // over its images: under two tints of the same look the control's pixels
  // differ only by that tint, so a host may redraw a tint change from
  // pictures fitted once per look. Default: 0, one look for every tint.
  virtual UiColor TintLook(const TImageTint& /*tint*/) const { return 0; }

  // ---- position ----
  const UiRect& GetPos() const { return rcItem_; }
  // Sets the rectangle (parents call this while laying out; containers lay
  // out their children here).
  virtual void SetPos(const UiRect& rc, bool needInvalidate = true);
  int GetX() const { return rcItem_.left; }
  int GetY() const { return rcItem_.top; }
  int GetWidth() const { return rcItem_.Width(); }
  int GetHeight() const { return rcItem_.Height(); }
  // Fixed size from "width"/"height"; 0 = stretch.
  int GetFixedWidth() const { return fixedSize_.cx; }
  int GetFixedHeight() const { return fixedSize_.cy; }
  void SetFixedWidth(int cx);
  void SetFixedHeight(int cy);
  int GetMinWidth() const { return minSize_.cx; }
  int GetMinHeight() const { return minSize_.cy; }
  int GetMaxWidth() const { return maxSize_.cx; }
  int GetMaxHeight() const { return maxSize_.cy; }
  void SetMinWidth(int cx) { minSize_.cx = cx < 0 ? 0 : cx; NeedParentUpdate(); }
  void SetMinHeight(int cy) { minSize_.cy = cy < 0 ? 0 : cy; NeedParentUpdate(); }
  void SetMaxWidth(int cx) { maxSize_.cx = cx < 0 ? 0 : cx; NeedParentUpdate(); }
  void SetMaxHeight(int cy) { maxSize_.cy = cy < 0 ? 0 : cy; NeedParentUpdate(); }
  // Outer margins inside the parent's layout.
  const UiRect& GetPadding() const { return padding_; }
  void SetPadding(const UiRect& rc);
  // Floating controls are placed by "pos" relative to the parent's top-left.
  bool IsFloat() const { return float_; }
  void SetFloat(bool f);
  const UiRect& GetFloatPos() const { return floatPos_; }
  // The size this control wants given the available space (layouts use it).
  virtual UiSize EstimateSize(UiSize available);

  // ---- attributes ----
  // Applies one layout attribute; unknown names are ignored (returns false).
  virtual bool SetAttribute(std::string_view name, std::string_view value);
  // Applies name="value" pairs as in a <Default value="..."/> list.
  void ApplyAttributeList(std::string_view list);

  // ---- tree ----
  CPaintManagerUI* GetManager() const { return manager_; }
  CControlUI* GetParent() const { return parent_; }
  // Attaches the control (and children) to a manager; init calls DoInit.
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
  // Visits this control (and children for containers); returns the first
  // control for which pred returned true.
  virtual CControlUI* FindControl(const FindPredicate& pred, unsigned flags);
  virtual CControlUI* FindControlAt(UiPoint pt);

  // ---- updates ----
  void Invalidate();
  bool IsUpdateNeeded() const { return updateNeeded_; }
  void NeedUpdate();
  void NeedParentUpdate();

  // ---- events and painting ----
  // Entry for input events: routes to DoEvent when enabled/visible, else to
  // the parent for mouse/keys that a disabled control does not take.
  void Event(TEventUI& event);
  virtual void DoEvent(TEventUI& event);
  // Paints the control if it meets `dirty`; containers then paint children.
  virtual void DoPaint(IRenderer& r, const UiRect& dirty);
  virtual void PaintBkColor(IRenderer& r);
  virtual void PaintBkImage(IRenderer& r);
  virtual void PaintStatusImage(IRenderer& r);
  virtual void PaintText(IRenderer& r);
  virtual void PaintBorder(IRenderer& r);
  // The paint manager's disabled veil over a control that is disabled
  // itself (not merely inside a disabled container, which has its own).
  void PaintDisabledVeil(IRenderer& r);
  // Draws an image description over rc (whole control when rc is null),
  // resolving the file against the resource path and applying the tint.
  // Returns false when nothing was drawn.
  bool DrawImage(IRenderer& r, std::string_view image, const UiRect* rc = nullptr);

  // Called once after the control joined a manager (builder, Add).
  virtual void DoInit() {}

 protected:
  // Sends a notification through the manager (nothing when detached).
  void Notify(const char* type, WPARAM wParam = 0, LPARAM lParam = 0);

  CPaintManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  std::string name_;
  std::string text_;
  std::string tooltip_;
  std::string disabledTooltip_;  // a language text id or the text
  std::string userData_;
  std::uintptr_t tag_ = 0;
  bool resourceText_ = false;
  bool tooltipIsId_ = false;
  bool visible_ = true;
  bool internVisible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool keyboardEnabled_ = true;
  bool dragNotify_ = false;
  bool focused_ = false;
  bool float_ = false;
  bool updateNeeded_ = true;
  UiRect rcItem_{};
  UiRect floatPos_{};
  UiRect padding_{};
  UiSize fixedSize_{};
  UiSize minSize_{};
  UiSize maxSize_{};
  UiColor bkColor_ = 0;
  UiColor foreColor_ = 0;
  UiColor borderColor_ = 0;
  UiColor focusBorderColor_ = 0;
  int borderSize_ = 0;
  UiSize borderRound_{};
  std::string bkImage_;
  TImageTint tint_{};
};

}  // namespace trx::ui
