#include "ui/core/control.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "ui/core/paint_manager.h"
#include "ui/core/recent_lookups.h"
#include "ui/core/resource_manager.h"

namespace trx::ui {

namespace {

// Resource-text marker in layouts: text="%[message_text_1]".
bool SplitResourceId(std::string_view value, std::string_view* id) {
  if (value.size() >= 3 && value.substr(0, 2) == "%[" && value.back() == ']') {
    *id = value.substr(2, value.size() - 3);
    return true;
  }
  return false;
}

// Image descriptions parsed once and resolved against the resource path of
// the generation they were resolved in: painting reuses them, so a repaint
// parses and allocates nothing. One cache per thread (controls are touched
// by their UI thread only; tests may run several).
struct TransparentHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
struct ParsedImages {
  uint64_t generation = 0;
  std::unordered_map<std::string, std::optional<TImageDesc>, TransparentHash, std::equal_to<>> map;
  RecentLookups<char, const TImageDesc*> recent;  // the last look-ups, pointing into map
};
// Layouts name a few hundred images at most; a runaway producer of image
// strings only costs a rebuild.
constexpr size_t kMaxParsedImages = 4096;

const TImageDesc* ParsedImage(std::string_view image) {
  thread_local ParsedImages cache;
  const uint64_t generation = CPaintManagerUI::GetResourcePathGeneration();
  if (generation != cache.generation || cache.map.size() >= kMaxParsedImages) {
    cache.map.clear();
    cache.recent.Forget();
    cache.generation = generation;
  }
  if (const TImageDesc* const* recent = cache.recent.Find(image, 0)) return *recent;
  auto it = cache.map.find(image);
  if (it == cache.map.end()) {
    std::optional<TImageDesc> parsed;
    TImageDesc desc;
    if (ParseImageDesc(image, &desc)) {
      desc.path = CPaintManagerUI::ResolveResourceFile(desc.file);
      parsed = std::move(desc);
    }
    it = cache.map.emplace(std::string(image), std::move(parsed)).first;
  }
  const TImageDesc* desc = it->second ? &*it->second : nullptr;
  cache.recent.Put(image, 0, desc);
  return desc;
}

}  // namespace

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  if (manager_ != nullptr) manager_->ReapObjects(this);
}

std::string_view CControlUI::GetClass() const { return "ControlUI"; }

void* CControlUI::GetInterface(std::string_view name) {
  if (name == "Control") return this;
  return nullptr;
}

void CControlUI::SetName(std::string_view name) { name_ = name; }

std::string CControlUI::GetText() const {
  if (!resourceText_) return text_;
  return CResourceManager::GetInstance()->GetText(text_);
}

void CControlUI::SetText(std::string_view text) {
  if (text_ == text) return;
  text_ = text;
  Invalidate();
}

void CControlUI::SetResourceText(bool resource) {
  if (resourceText_ == resource) return;
  resourceText_ = resource;
  Invalidate();
}

std::string CControlUI::GetToolTip() const {
  // Disabled itself or inside a disabled container: the first disabled
  // tooltip on the way up says why.
  for (const CControlUI* c = this; c != nullptr; c = c->parent_)
    if (!c->enabled_ && !c->disabledTooltip_.empty()) return CResourceManager::GetInstance()->GetText(c->disabledTooltip_);
  if (!(resourceText_ || tooltipIsId_) || tooltip_.empty()) return tooltip_;
  return CResourceManager::GetInstance()->GetText(tooltip_);
}

void CControlUI::ReloadText() {
  if (resourceText_) Invalidate();
}

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  bool wasVisible = IsVisible();
  visible_ = visible;
  if (wasVisible && !IsVisible() && manager_ != nullptr) {
    // The focus must not stay on a control that can no longer be seen.
    for (CControlUI* c = manager_->GetFocus(); c != nullptr; c = c->GetParent()) {
      if (c == this) {
        manager_->SetFocus(nullptr);
        break;
      }
    }
  }
  NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
  internVisible_ = visible;
  if (!visible && focused_ && manager_ != nullptr && manager_->GetFocus() == this) {
    manager_->SetFocus(nullptr);
  }
}

void CControlUI::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (!enabled && manager_ != nullptr && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
  Invalidate();
}

void CControlUI::SetFocus() {
  if (manager_ != nullptr) manager_->SetFocus(this);
}

unsigned CControlUI::GetState() const {
  unsigned s = 0;
  if (focused_) s |= UISTATE_FOCUSED;
  if (!IsEnabled()) s |= UISTATE_DISABLED;
  return s;
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::SetBkColor(UiColor color) {
  if (bkColor_ == color) return;
  bkColor_ = color;
  Invalidate();
}

void CControlUI::SetBkImage(std::string_view image) {
  if (bkImage_ == image) return;
  bkImage_ = image;
  Invalidate();
}

void CControlUI::SetForeColor(UiColor color) {
  foreColor_ = color;
  Invalidate();
}

void CControlUI::SetBorderSize(int size) {
  borderSize_ = std::max(0, size);
  Invalidate();
}

void CControlUI::SetBorderColor(UiColor color) {
  borderColor_ = color;
  Invalidate();
}

void CControlUI::SetBorderRound(UiSize round) {
  borderRound_ = {std::max(0, round.cx), std::max(0, round.cy)};
  Invalidate();
}

void CControlUI::SetIsChangerColor(bool on) {
  tint_.enabled = on;
  Invalidate();
}

// A tint change alone: the host may redraw it from fitted pictures.
void CControlUI::SetChangerColor(UiColor color) {
  tint_.color = color;
  if (manager_ != nullptr && IsVisible()) manager_->InvalidateTint(this);
}

void CControlUI::SetChangerAlpha(int alpha) {
  tint_.alpha = std::clamp(alpha, 0, 255);
  if (manager_ != nullptr && IsVisible()) manager_->InvalidateTint(this);
}

void CControlUI::SetPos(const UiRect& rc, bool needInvalidate) {
  UiRect r = rc;
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  if (r == rcItem_) {
    updateNeeded_ = false;
    return;
  }
  if (needInvalidate) Invalidate();
  rcItem_ = r;
  updateNeeded_ = false;
  if (needInvalidate) Invalidate();
}

void CControlUI::SetFixedWidth(int cx) {
  fixedSize_.cx = std::max(0, cx);
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  fixedSize_.cy = std::max(0, cy);
  NeedParentUpdate();
}

void CControlUI::SetPadding(const UiRect& rc) {
  padding_ = rc;
  NeedParentUpdate();
}

void CControlUI::SetFloat(bool f) {
  float_ = f;
  NeedParentUpdate();
}

UiSize CControlUI::EstimateSize(UiSize /*available*/) { return fixedSize_; }

bool CControlUI::SetAttribute(std::string_view name, std::string_view value) {
  UiColor color = 0;
  UiRect rc;
  UiSize sz;
  if (name == "name") {
    SetName(value);
  } else if (name == "text") {
    std::string_view id;
    if (SplitResourceId(value, &id)) {
      resourceText_ = true;
      SetText(id);
    } else {
      SetText(value);
    }
  } else if (name == "tooltip") {
    std::string_view id;
    tooltipIsId_ = SplitResourceId(value, &id);
    SetToolTip(tooltipIsId_ ? id : value);
  } else if (name == "disabledtooltip") {
    std::string_view id;
    SetDisabledToolTip(SplitResourceId(value, &id) ? id : value);
  } else if (name == "resourcetext") {
    SetResourceText(ParseBool(value));
  } else if (name == "userdata") {
    SetUserData(value);
  } else if (name == "tag") {
    SetTag(static_cast<std::uintptr_t>(ParseInt(value)));
  } else if (name == "visible") {
    SetVisible(ParseBool(value));
  } else if (name == "enabled") {
    SetEnabled(ParseBool(value));
  } else if (name == "mouse") {
    SetMouseEnabled(ParseBool(value));
  } else if (name == "keyboard") {
    SetKeyboardEnabled(ParseBool(value));
  } else if (name == "dragnotify") {
    SetDragNotify(ParseBool(value));
  } else if (name == "pos") {
    if (ParseRect(value, &rc)) {
      floatPos_ = rc;
      fixedSize_ = {std::max(0, rc.right - rc.left), std::max(0, rc.bottom - rc.top)};
      NeedParentUpdate();
    }
  } else if (name == "float") {
    SetFloat(ParseBool(value));
  } else if (name == "width") {
    SetFixedWidth(ParseCoord(value));
  } else if (name == "height") {
    SetFixedHeight(ParseCoord(value));
  } else if (name == "minwidth") {
    SetMinWidth(ParseCoord(value));
  } else if (name == "minheight") {
    SetMinHeight(ParseCoord(value));
  } else if (name == "maxwidth") {
    SetMaxWidth(ParseCoord(value));
  } else if (name == "maxheight") {
    SetMaxHeight(ParseCoord(value));
  } else if (name == "padding") {
    if (ParseRect(value, &rc)) SetPadding(rc);
  } else if (name == "bkcolor") {
    if (ParseColor(value, &color)) SetBkColor(color);
  } else if (name == "bkimage") {
    SetBkImage(value);
  } else if (name == "forecolor") {
    if (ParseColor(value, &color)) SetForeColor(color);
  } else if (name == "bordersize") {
    SetBorderSize(ParseCoord(value));
  } else if (name == "bordercolor") {
    if (ParseColor(value, &color)) SetBorderColor(color);
  } else if (name == "focusbordercolor") {
    if (ParseColor(value, &color)) SetFocusBorderColor(color);
  } else if (name == "borderround") {
    if (ParseSize(value, &sz)) SetBorderRound(sz);
  } else if (name == "ischangercolor") {
    SetIsChangerColor(ParseBool(value));
  } else if (name == "changercolor") {
    if (ParseColor(value, &color)) SetChangerColor(color);
  } else if (name == "changeralpha") {
    SetChangerAlpha(ParseInt(value));
  } else if (name == "style") {
    std::string list;
    if (manager_ != nullptr) list = manager_->GetStyle(value);
    if (list.empty()) {
      CPaintManagerUI::ForEachManager([&](CPaintManagerUI* pm) {
        if (list.empty()) list = pm->GetStyle(value);
      });
    }
    if (!list.empty()) ApplyAttributeList(list);
  } else if (name == "virtualwnd") {
    // Accepted for layout compatibility; notifications carry no virtual window.
  } else {
    return false;
  }
  return true;
}

void CControlUI::ApplyAttributeList(std::string_view list) {
  size_t i = 0;
  auto skipSpace = [&] {
    while (i < list.size() && (list[i] == ' ' || list[i] == '\t' || list[i] == '\r' || list[i] == '\n')) ++i;
  };
  while (i < list.size()) {
    skipSpace();
    size_t nameStart = i;
    while (i < list.size() && list[i] != '=' && list[i] != ' ') ++i;
    std::string_view name = list.substr(nameStart, i - nameStart);
    skipSpace();
    if (i >= list.size() || list[i] != '=') return;
    ++i;
    skipSpace();
    if (i >= list.size()) return;
    char quote = list[i];
    if (quote != '"' && quote != '\'') return;
    size_t end = list.find(quote, i + 1);
    if (end == std::string_view::npos) return;
    std::string_view value = list.substr(i + 1, end - i - 1);
    i = end + 1;
    if (!name.empty()) SetAttribute(name, value);
  }
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  manager_ = manager;
  parent_ = parent;
  if (parent != nullptr) internVisible_ = parent->IsVisible();
  if (init && manager != nullptr) DoInit();
}

CControlUI* CControlUI::FindControl(const FindPredicate& pred, unsigned flags) {
  if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
  return pred(this) ? this : nullptr;
}

CControlUI* CControlUI::FindControlAt(UiPoint pt) {
  if (!IsVisible() || !mouseEnabled_ || !rcItem_.Contains(pt)) return nullptr;
  return this;
}

void CControlUI::Invalidate() {
  if (manager_ != nullptr && IsVisible()) manager_->Invalidate(rcItem_);
}

void CControlUI::NeedUpdate() {
  updateNeeded_ = true;
  if (manager_ != nullptr) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (parent_ != nullptr) {
    parent_->NeedUpdate();
  } else {
    NeedUpdate();
  }
  Invalidate();
}

void CControlUI::Event(TEventUI& event) { DoEvent(event); }

void CControlUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_SETFOCUS:
      focused_ = true;
      Invalidate();
      return;
    case UIEVENT_KILLFOCUS:
      focused_ = false;
      Invalidate();
      return;
    default:
      // Not ours: the enclosing control may use it (a list item holding
      // labels, a scrolling container under the wheel).
      if (parent_ != nullptr) parent_->DoEvent(event);
      return;
  }
}

void CControlUI::DoPaint(IRenderer& r, const UiRect& dirty) {
  if (!rcItem_.Intersects(dirty)) return;
  bool round = borderRound_.cx > 0 || borderRound_.cy > 0;
  if (round) r.PushClip(rcItem_, borderRound_.cx, borderRound_.cy);
  PaintBkColor(r);
  PaintBkImage(r);
  PaintStatusImage(r);
  PaintText(r);
  if (round) r.PopClip();
  PaintBorder(r);
  PaintDisabledVeil(r);
}

void CControlUI::PaintDisabledVeil(IRenderer& r) {
  if (enabled_ || manager_ == nullptr || manager_->GetDisabledVeil() == 0) return;
  for (const CControlUI* p = parent_; p != nullptr; p = p->GetParent())
    if (!p->enabled_) return;  // the disabled container veils it already
  const UiColor veil = manager_->GetDisabledVeil();
  if (borderRound_.cx > 0 || borderRound_.cy > 0) r.FillRoundRect(rcItem_, borderRound_.cx, borderRound_.cy, veil);
  else r.FillRect(rcItem_, veil);
}

void CControlUI::PaintBkColor(IRenderer& r) {
  if (bkColor_ == 0) return;
  if (borderRound_.cx > 0 || borderRound_.cy > 0) {
    r.FillRoundRect(rcItem_, borderRound_.cx, borderRound_.cy, bkColor_);
  } else {
    r.FillRect(rcItem_, bkColor_);
  }
}

void CControlUI::PaintBkImage(IRenderer& r) {
  if (!bkImage_.empty()) DrawImage(r, bkImage_);
}

void CControlUI::PaintStatusImage(IRenderer& /*r*/) {}

void CControlUI::PaintText(IRenderer& /*r*/) {}

void CControlUI::PaintBorder(IRenderer& r) {
  if (borderSize_ <= 0) return;
  UiColor color = (focused_ && focusBorderColor_ != 0) ? focusBorderColor_ : borderColor_;
  if (color == 0) return;
  r.DrawBorder(rcItem_, borderSize_, color, borderRound_.cx, borderRound_.cy);
}

bool CControlUI::DrawImage(IRenderer& r, std::string_view image, const UiRect* rc) {
  const TImageDesc* desc = ParsedImage(image);
  if (desc == nullptr) return false;
  return r.DrawImage(rc != nullptr ? *rc : rcItem_, *desc, tint_);
}

void CControlUI::Notify(const char* type, WPARAM wParam, LPARAM lParam) {
  if (manager_ != nullptr) manager_->SendNotify(this, type, wParam, lParam);
}

}  // namespace trx::ui
