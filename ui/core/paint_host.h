#pragma once
// IPaintHost: what the core asks of the native window that shows a control
// tree (the Qt backend implements it per top-level window). Every call is
// made on the UI thread. With no host (headless use and tests) the paint
// manager skips these calls, and the controls fall back to their own
// behaviour: edits take UIEVENT_CHAR keys themselves, combos only raise
// "dropdown".

#include <string_view>

#include "ui/core/ui_types.h"

namespace trx::ui {

class CComboUI;
class CControlUI;
class CEditUI;

enum class CursorShape { Arrow, Hand, IBeam, SizeWE, SizeNS };

class IPaintHost {
 public:
  virtual ~IPaintHost() = default;
  // Schedules a repaint of rc (client coordinates).
  virtual void Invalidate(const UiRect& rc) = 0;
  // Only the tint of `control` (at rc) changed. Default: a repaint of rc.
  virtual void InvalidateTint(CControlUI* /*control*/, const UiRect& rc) { Invalidate(rc); }
  // Mouse capture: while set, the window keeps getting mouse moves and the
  // release even outside its area.
  virtual void SetCapture() = 0;
  virtual void ReleaseCapture() = 0;
  // Opens the combo's drop-down list as a popup below the combo. The popup
  // selects through CComboUI::SelectItem(index, false, true) and closes
  // itself. Returns false when no popup could be opened.
  virtual bool OpenDropDown(CComboUI* combo) = 0;
  // Starts native text editing over the edit's rectangle. The backend
  // reports typed text with CEditUI::OnNativeTextChanged and ends with
  // CEditUI::OnNativeEditDone (or when the focus leaves). Returns false
  // when no native editor is available (the edit then takes keys itself).
  virtual bool BeginEdit(CEditUI* edit) = 0;
  virtual void EndEdit(CEditUI* edit) = 0;
  // Code changed the text of the edit being edited natively; the native
  // editor should show edit->GetText(). Default: nothing.
  virtual void OnEditTextSet(CEditUI* /*edit*/) {}
  // Pointer position in client coordinates.
  virtual UiPoint GetCursorPos() = 0;
  virtual void ShowToolTip(const UiRect& controlRect, std::string_view text) = 0;
  virtual void HideToolTip() = 0;
  virtual void SetCursor(CursorShape shape) = 0;
  // A control is about to be destroyed; drop any reference to it.
  virtual void OnControlRemoved(CControlUI* control) = 0;
  // The area (client coordinates) repainted many times a second, an
  // animated preview; empty: none. The host may give it a surface of its
  // own; what shows there is the same. Default: nothing.
  virtual void SetLiveArea(const UiRect& /*rc*/) {}
};

}  // namespace trx::ui
