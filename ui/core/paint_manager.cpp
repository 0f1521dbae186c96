#include "ui/core/paint_manager.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>

#include "platform/debug_log.h"
#include "ui/core/container.h"
#include "ui/core/menu.h"

namespace trx::ui {

namespace {

struct ResourceSettings {
  std::mutex mutex;  // guards the fields below; taken alone
  std::string instancePath;
  std::string resourcePath;
  int resourceType = UILIB_FILE;
};

ResourceSettings& Settings() {
  static ResourceSettings s;
  return s;
}

// Counts resource path changes, so caches of resolved paths can tell they
// are stale without taking the settings mutex.
std::atomic<uint64_t>& ResourceGeneration() {
  static std::atomic<uint64_t> generation{0};
  return generation;
}

struct ManagerList {
  std::mutex mutex;  // guards managers; taken alone
  std::vector<CPaintManagerUI*> managers;
};

ManagerList& Managers() {
  static ManagerList list;
  return list;
}

std::string NormalizeFolder(std::string_view path) {
  std::string s(path);
  std::replace(s.begin(), s.end(), '\\', '/');
  if (!s.empty() && s.back() != '/') s.push_back('/');
  return s;
}

std::string ProgramFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return "./";
  std::string path(buf, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::uint64_t NowMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Whether input may reach control: it and every container around it must
// be enabled.
bool InputEnabled(const CControlUI* control) {
  for (const CControlUI* c = control; c != nullptr; c = c->GetParent()) {
    if (!c->IsEnabled()) return false;
  }
  return true;
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() {
  auto& list = Managers();
  std::lock_guard<std::mutex> lock(list.mutex);
  list.managers.push_back(this);
}

CPaintManagerUI::~CPaintManagerUI() {
  {
    auto& list = Managers();
    std::lock_guard<std::mutex> lock(list.mutex);
    list.managers.erase(std::remove(list.managers.begin(), list.managers.end(), this), list.managers.end());
  }
  CControlUI* root = root_;
  root_ = nullptr;
  hot_ = focus_ = capture_ = pushed_ = nullptr;
  // The native window may already be gone; the tree is torn down without it.
  host_ = nullptr;
  delete root;
  for (CControlUI* c : delayedDelete_) delete c;
  delayedDelete_.clear();
}

void CPaintManagerUI::Init(HWND wnd, IPaintHost* host, std::string_view name) {
  wnd_ = wnd;
  uiThread_ = std::this_thread::get_id();
  host_ = host;
  name_ = name;
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  if (root == nullptr) return false;
  if (root_ != nullptr && root_ != root) {
    CControlUI* old = root_;
    root_ = nullptr;
    ReapObjects(old);
    old->SetManager(nullptr, nullptr, false);
    DeleteControlLater(old);
  }
  root_ = root;
  hot_ = focus_ = capture_ = pushed_ = nullptr;
  windowInitSent_ = false;
  InitControls(root, nullptr);
  NeedUpdate();
  return true;
}

bool CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
  if (control == nullptr) return false;
  control->SetManager(this, parent != nullptr ? parent : control->GetParent(), true);
  return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
  if (control == nullptr) return;
  auto inside = [control](CControlUI* c) {
    for (; c != nullptr; c = c->GetParent()) {
      if (c == control) return true;
    }
    return false;
  };
  if (inside(hot_)) {
    hot_ = nullptr;
    if (host_ != nullptr) host_->HideToolTip();
  }
  if (inside(focus_)) focus_ = nullptr;
  if (inside(capture_)) {
    capture_ = nullptr;
    if (host_ != nullptr) host_->ReleaseCapture();
  }
  if (inside(pushed_)) pushed_ = nullptr;
  if (inside(drag_)) drag_ = nullptr;  // a drag from a removed control just stops
  if (host_ != nullptr) host_->OnControlRemoved(control);
  if (control == root_) root_ = nullptr;
}

void CPaintManagerUI::DeleteControlLater(CControlUI* control) {
  if (control == nullptr) return;
  if (dispatchDepth_ > 0) {
    delayedDelete_.push_back(control);
  } else {
    delete control;
  }
}

void CPaintManagerUI::EndDispatch() {
  if (--dispatchDepth_ > 0) return;
  std::vector<CControlUI*> doomed;
  doomed.swap(delayedDelete_);
  for (CControlUI* c : doomed) delete c;
}

// ---- lookup ----

CControlUI* CPaintManagerUI::FindControl(std::string_view name) const {
  if (root_ == nullptr || name.empty()) return nullptr;
  return root_->FindControl([name](CControlUI* c) { return c->GetName() == name; }, UIFIND_ME_FIRST);
}

CControlUI* CPaintManagerUI::FindControl(UiPoint pt) const {
  if (root_ == nullptr) return nullptr;
  return root_->FindControlAt(pt);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, std::string_view name) const {
  if (parent == nullptr) parent = root_;
  if (parent == nullptr || name.empty()) return nullptr;
  return parent->FindControl([name](CControlUI* c) { return c->GetName() == name; }, UIFIND_ME_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByPoint(CControlUI* parent, UiPoint pt) const {
  if (parent == nullptr) parent = root_;
  return parent != nullptr ? parent->FindControlAt(pt) : nullptr;
}

std::vector<CControlUI*> CPaintManagerUI::FindControls(const FindPredicate& pred) const {
  std::vector<CControlUI*> out;
  if (root_ == nullptr) return out;
  root_->FindControl(
      [&](CControlUI* c) {
        if (pred(c)) out.push_back(c);
        return false;
      },
      UIFIND_ME_FIRST);
  return out;
}

// ---- notifications ----

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (notifier == nullptr) return false;
  if (std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) return false;
  notifiers_.push_back(notifier);
  return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  auto it = std::find(notifiers_.begin(), notifiers_.end(), notifier);
  if (it == notifiers_.end()) return false;
  notifiers_.erase(it);
  return true;
}

void CPaintManagerUI::SendNotify(CControlUI* control, std::string_view type, WPARAM wParam, LPARAM lParam) {
  TNotifyUI msg;
  msg.sType = std::string(type);
  msg.pSender = control;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(msg);
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg) {
  if (!IsUiThread()) {
    DebugLineF("notification \"%s\" raised outside the UI thread", msg.sType.c_str());
  }
  msg.ptMouse = mousePos_;
  msg.dwTimestamp = NowMs();
  BeginDispatch();
  // A notifier may add or remove notifiers; iterate over a snapshot and skip
  // the ones removed meanwhile.
  std::vector<INotifyUI*> snapshot = notifiers_;
  for (INotifyUI* n : snapshot) {
    if (std::find(notifiers_.begin(), notifiers_.end(), n) == notifiers_.end()) continue;
    n->Notify(msg);
  }
  EndDispatch();
}

// ---- updates and painting ----

void CPaintManagerUI::NeedUpdate() {
  updateNeeded_ = true;
  Invalidate();
}

void CPaintManagerUI::Invalidate() {
  UiSize sz = clientSize_;
  if (sz.cx == 0 && sz.cy == 0) sz = initSize_;
  Invalidate({0, 0, sz.cx, sz.cy});
}

void CPaintManagerUI::Invalidate(const UiRect& rc) {
  if (host_ != nullptr && !rc.IsEmpty()) host_->Invalidate(rc);
}

void CPaintManagerUI::InvalidateTint(CControlUI* control) {
  if (host_ != nullptr && !control->GetPos().IsEmpty()) host_->InvalidateTint(control, control->GetPos());
}

void CPaintManagerUI::SetClientSize(UiSize size) {
  if (size == clientSize_) return;
  clientSize_ = size;
  updateNeeded_ = true;
  UpdateLayout();
  if (root_ != nullptr) SendNotify(root_, kNotifyWindowSize);
  Invalidate();
}

void CPaintManagerUI::UpdateLayout() {
  if (root_ == nullptr) return;
  if (!updateNeeded_) return;
  updateNeeded_ = false;
  UiSize sz = clientSize_;
  if (sz.cx == 0 && sz.cy == 0) sz = initSize_;
  UiRect rc{0, 0, sz.cx, sz.cy};
  // Forces the root to lay its children out even when its rectangle is
  // unchanged.
  root_->SetPos(rc, false);
}

void CPaintManagerUI::Paint(IRenderer& r, const UiRect& dirty) {
  UpdateLayout();
  if (root_ == nullptr) return;
  BeginDispatch();
  root_->DoPaint(r, dirty);
  EndDispatch();
  if (!windowInitByHost_) SendWindowInit();
}

void CPaintManagerUI::PaintWithTint(IRenderer& r, const UiRect& dirty, CControlUI* control, const TImageTint& tint) {
  const TImageTint own = control->ReplaceTint(tint);
  Paint(r, dirty);
  control->ReplaceTint(own);
}

void CPaintManagerUI::SendWindowInit() {
  if (windowInitSent_ || root_ == nullptr) return;
  windowInitSent_ = true;
  SendNotify(root_, kNotifyWindowInit);
}

// ---- input ----

TEventUI CPaintManagerUI::MakeEvent(int type, UiPoint pt, std::uint16_t keyState) const {
  TEventUI ev;
  ev.Type = type;
  ev.ptMouse = pt;
  ev.wKeyState = keyState;
  ev.dwTimestamp = NowMs();
  return ev;
}

void CPaintManagerUI::DispatchEvent(CControlUI* target, TEventUI& ev) {
  if (target == nullptr) return;
  ev.pSender = target;
  target->Event(ev);
}

void CPaintManagerUI::BeginDrag(CControlUI* control, UiPoint pt, std::uint16_t keyState) {
  // The button-down handler may have removed the control or moved the capture.
  if (!control->IsDragNotify() || pushed_ != control) return;
  drag_ = control;
  dragStart_ = pt;
  SendDrag(control, kNotifyDragBegin, keyState);
}

void CPaintManagerUI::SendDrag(CControlUI* control, const char* type, std::uint16_t keyState) {
  TNotifyUI msg;
  msg.sType = type;
  msg.pSender = control;
  msg.wParam = keyState;
  msg.lParam = MakePointLParam(dragStart_.x, dragStart_.y);
  SendNotify(msg);
}

void CPaintManagerUI::EndDrag(std::uint16_t keyState) {
  if (drag_ == nullptr) return;
  CControlUI* control = drag_;
  drag_ = nullptr;
  SendDrag(control, kNotifyDragEnd, keyState);
}

void CPaintManagerUI::SetHot(CControlUI* control, UiPoint pt) {
  if (control == hot_) return;
  CControlUI* old = hot_;
  hot_ = control;
  if (old != nullptr) {
    TEventUI ev = MakeEvent(UIEVENT_MOUSELEAVE, pt, 0);
    DispatchEvent(old, ev);
    SendNotify(old, kNotifyMouseLeave);
    if (host_ != nullptr) host_->HideToolTip();
  }
  // The leave handlers may have removed the new control.
  if (hot_ != control) return;
  if (control != nullptr) {
    TEventUI ev = MakeEvent(UIEVENT_MOUSEENTER, pt, 0);
    DispatchEvent(control, ev);
    SendNotify(control, kNotifyMouseEnter);
    if (host_ != nullptr && hot_ == control) {
      std::string tip = control->GetToolTip();
      if (!tip.empty()) host_->ShowToolTip(control->GetPos(), tip);
    }
  }
}

void CPaintManagerUI::OnMouseMove(UiPoint pt, std::uint16_t keyState) {
  UpdateLayout();
  mousePos_ = pt;
  BeginDispatch();
  CControlUI* under = FindControl(pt);
  SetHot(under, pt);
  CControlUI* target = capture_ != nullptr ? capture_ : hot_;
  if (target != nullptr) {
    TEventUI ev = MakeEvent(UIEVENT_MOUSEMOVE, pt, keyState);
    DispatchEvent(target, ev);
  }
  if (drag_ != nullptr) SendDrag(drag_, kNotifyDragMove, keyState);
  if (host_ != nullptr && hot_ != nullptr) {
    host_->SetCursor(hot_->GetInterface("Edit") != nullptr ? CursorShape::IBeam : CursorShape::Arrow);
  }
  EndDispatch();
}

void CPaintManagerUI::OnMouseLeaveWindow() {
  BeginDispatch();
  if (capture_ == nullptr) SetHot(nullptr, mousePos_);
  EndDispatch();
}

void CPaintManagerUI::OnButtonDown(UiPoint pt, std::uint16_t keyState) {
  UpdateLayout();
  mousePos_ = pt;
  BeginDispatch();
  CControlUI* target = FindControl(pt);
  SetHot(target, pt);
  target = hot_;
  if (target != nullptr && InputEnabled(target)) {
    pushed_ = target;
    if (target->IsFocusable()) SetFocus(target);
    if (pushed_ == target) {
      SetCapture(target);
      TEventUI ev = MakeEvent(UIEVENT_BUTTONDOWN, pt, keyState);
      DispatchEvent(target, ev);
      BeginDrag(target, pt, keyState);
    }
  }
  EndDispatch();
}

void CPaintManagerUI::OnDoubleClick(UiPoint pt, std::uint16_t keyState) {
  UpdateLayout();
  mousePos_ = pt;
  BeginDispatch();
  CControlUI* target = FindControl(pt);
  SetHot(target, pt);
  target = hot_;
  if (target != nullptr && InputEnabled(target)) {
    pushed_ = target;
    SetCapture(target);
    TEventUI ev = MakeEvent(UIEVENT_DBLCLICK, pt, keyState);
    DispatchEvent(target, ev);
  }
  EndDispatch();
}

void CPaintManagerUI::OnButtonUp(UiPoint pt, std::uint16_t keyState) {
  mousePos_ = pt;
  BeginDispatch();
  CControlUI* target = capture_ != nullptr ? capture_ : pushed_;
  ReleaseCapture();
  pushed_ = nullptr;
  if (target != nullptr) {
    TEventUI ev = MakeEvent(UIEVENT_BUTTONUP, pt, keyState);
    DispatchEvent(target, ev);
  }
  EndDrag(keyState);
  // The control under the pointer may have changed while captured.
  SetHot(FindControl(pt), pt);
  EndDispatch();
}

void CPaintManagerUI::OnRButtonDown(UiPoint pt, std::uint16_t keyState) {
  UpdateLayout();
  mousePos_ = pt;
  BeginDispatch();
  CControlUI* target = FindControl(pt);
  if (target != nullptr && InputEnabled(target)) {
    TEventUI ev = MakeEvent(UIEVENT_RBUTTONDOWN, pt, keyState);
    DispatchEvent(target, ev);
  }
  EndDispatch();
}

void CPaintManagerUI::OnRButtonUp(UiPoint pt, std::uint16_t keyState) {
  mousePos_ = pt;
  BeginDispatch();
  CControlUI* target = FindControl(pt);
  if (target != nullptr && InputEnabled(target)) {
    TEventUI ev = MakeEvent(UIEVENT_RBUTTONUP, pt, keyState);
    DispatchEvent(target, ev);
    SendNotify(target, kNotifyMenu);
  }
  EndDispatch();
}

void CPaintManagerUI::OnMouseWheel(UiPoint pt, int delta, std::uint16_t keyState) {
  UpdateLayout();
  mousePos_ = pt;
  BeginDispatch();
  CControlUI* target = FindControl(pt);
  if (target != nullptr && InputEnabled(target) && delta != 0) {
    TEventUI ev = MakeEvent(UIEVENT_SCROLLWHEEL, pt, keyState);
    ev.wParam = delta > 0 ? 0 : 1;
    ev.lParam = delta;
    DispatchEvent(target, ev);
  }
  EndDispatch();
}

bool CPaintManagerUI::OnKeyDown(std::uint32_t key, std::uint16_t keyState) {
  BeginDispatch();
  bool used = false;
  if (key == VK_TAB) {
    used = SetNextTabControl((keyState & MK_SHIFT) == 0);
  } else if (focus_ != nullptr && InputEnabled(focus_)) {
    TEventUI ev = MakeEvent(UIEVENT_KEYDOWN, mousePos_, keyState);
    ev.chKey = key;
    DispatchEvent(focus_, ev);
    used = true;
  }
  EndDispatch();
  return used;
}

bool CPaintManagerUI::OnKeyUp(std::uint32_t key, std::uint16_t keyState) {
  if (focus_ == nullptr) return false;
  BeginDispatch();
  TEventUI ev = MakeEvent(UIEVENT_KEYUP, mousePos_, keyState);
  ev.chKey = key;
  DispatchEvent(focus_, ev);
  EndDispatch();
  return true;
}

bool CPaintManagerUI::OnChar(std::uint32_t codePoint, std::uint16_t keyState) {
  if (focus_ == nullptr || !InputEnabled(focus_)) return false;
  BeginDispatch();
  TEventUI ev = MakeEvent(UIEVENT_CHAR, mousePos_, keyState);
  ev.chKey = codePoint;
  DispatchEvent(focus_, ev);
  EndDispatch();
  return true;
}

void CPaintManagerUI::OnWindowFocusLost() {
  BeginDispatch();
  if (capture_ != nullptr) {
    // End a drag cleanly: the captured control gets its release.
    CControlUI* target = capture_;
    ReleaseCapture();
    TEventUI ev = MakeEvent(UIEVENT_BUTTONUP, mousePos_, 0);
    DispatchEvent(target, ev);
  }
  pushed_ = nullptr;
  EndDrag(0);
  EndDispatch();
}

bool CPaintManagerUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  std::uint16_t keys = static_cast<std::uint16_t>(wParam & 0xFFFF);
  switch (msg) {
    case WM_SIZE:
      SetClientSize({static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF)});
      return false;  // the window layer may want it too
    case WM_KILLFOCUS:
      OnWindowFocusLost();
      return false;
    case WM_MOUSEMOVE:
      OnMouseMove(PointFromLParam(lParam), keys);
      return true;
    case WM_LBUTTONDOWN:
      OnButtonDown(PointFromLParam(lParam), keys);
      return true;
    case WM_LBUTTONUP:
      OnButtonUp(PointFromLParam(lParam), keys);
      return true;
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(PointFromLParam(lParam), keys);
      return true;
    case WM_RBUTTONDOWN:
      OnRButtonDown(PointFromLParam(lParam), keys);
      return true;
    case WM_RBUTTONUP:
      OnRButtonUp(PointFromLParam(lParam), keys);
      return true;
    case WM_MOUSEWHEEL:
      OnMouseWheel(PointFromLParam(lParam), static_cast<std::int16_t>((wParam >> 16) & 0xFFFF), keys);
      return true;
    case WM_MOUSELEAVE:
      OnMouseLeaveWindow();
      return true;
    case WM_KEYDOWN:
      return OnKeyDown(static_cast<std::uint32_t>(wParam));
    case WM_KEYUP:
      return OnKeyUp(static_cast<std::uint32_t>(wParam));
    case WM_CHAR:
      return OnChar(static_cast<std::uint32_t>(wParam));
    default:
      return false;
  }
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (control == focus_) return;
  if (control != nullptr && (!control->IsVisible() || !control->IsEnabled() || control->GetManager() != this)) {
    return;
  }
  BeginDispatch();
  CControlUI* old = focus_;
  focus_ = nullptr;
  if (old != nullptr) {
    TEventUI ev = MakeEvent(UIEVENT_KILLFOCUS, mousePos_, 0);
    DispatchEvent(old, ev);
    SendNotify(old, kNotifyKillFocus);
  }
  // A killfocus handler may have moved the focus itself or removed control.
  if (focus_ == nullptr && control != nullptr && control->GetManager() == this) {
    focus_ = control;
    TEventUI ev = MakeEvent(UIEVENT_SETFOCUS, mousePos_, 0);
    DispatchEvent(control, ev);
    SendNotify(control, kNotifySetFocus);
  }
  EndDispatch();
}

bool CPaintManagerUI::SetNextTabControl(bool forward) {
  if (root_ == nullptr) return false;
  std::vector<CControlUI*> order = FindControls([](CControlUI* c) {
    return c->IsFocusable() && c->IsKeyboardEnabled() && c->IsVisible() && InputEnabled(c);
  });
  // FindControls visits invisible subtrees too; keep the ones really shown.
  order.erase(std::remove_if(order.begin(), order.end(),
                             [](CControlUI* c) {
                               for (CControlUI* p = c; p != nullptr; p = p->GetParent()) {
                                 if (!p->IsVisible()) return true;
                               }
                               return false;
                             }),
              order.end());
  if (order.empty()) return false;
  auto it = std::find(order.begin(), order.end(), focus_);
  CControlUI* next = nullptr;
  if (it == order.end()) {
    next = forward ? order.front() : order.back();
  } else if (forward) {
    next = (it + 1 == order.end()) ? order.front() : *(it + 1);
  } else {
    next = (it == order.begin()) ? order.back() : *(it - 1);
  }
  SetFocus(next);
  return true;
}

void CPaintManagerUI::SetCapture(CControlUI* control) {
  capture_ = control;
  if (host_ != nullptr && control != nullptr) host_->SetCapture();
}

void CPaintManagerUI::ReleaseCapture() {
  if (capture_ == nullptr) return;
  capture_ = nullptr;
  if (host_ != nullptr) host_->ReleaseCapture();
}

// ---- window attributes ----

bool CPaintManagerUI::SetWindowAttribute(std::string_view name, std::string_view value) {
  UiSize sz;
  UiRect rc;
  if (name == "size") {
    if (ParseSize(value, &sz)) SetInitSize(sz.cx, sz.cy);
  } else if (name == "caption") {
    if (ParseRect(value, &rc)) SetCaptionRect(rc);
  } else if (name == "roundcorner") {
    if (ParseSize(value, &sz)) SetRoundCorner(sz.cx, sz.cy);
  } else if (name == "disabledveil") {
    UiColor color = 0;
    if (ParseColor(value, &color)) SetDisabledVeil(color);
  } else if (name == "sizebox") {
    if (ParseRect(value, &rc)) SetSizeBox(rc);
  } else if (name == "mininfo") {
    if (ParseSize(value, &sz)) SetMinInfo(sz.cx, sz.cy);
  } else if (name == "maxinfo") {
    if (ParseSize(value, &sz)) SetMaxInfo(sz.cx, sz.cy);
  } else {
    return false;
  }
  return true;
}

void CPaintManagerUI::AddFont(int id, const TFontInfo& font, bool isDefault) {
  fonts_[id] = font;
  if (isDefault) defaultFont_ = font;
}

const TFontInfo& CPaintManagerUI::GetFont(int id) const {
  auto it = fonts_.find(id);
  return it != fonts_.end() ? it->second : defaultFont_;
}

void CPaintManagerUI::AddDefaultAttributeList(std::string_view controlClass, std::string_view list) {
  defaultAttributes_[std::string(controlClass)] = std::string(list);
}

std::string CPaintManagerUI::GetDefaultAttributeList(std::string_view controlClass) const {
  auto it = defaultAttributes_.find(controlClass);
  return it != defaultAttributes_.end() ? it->second : std::string();
}

void CPaintManagerUI::AddStyle(std::string_view name, std::string_view list) {
  styles_[std::string(name)] = std::string(list);
}

std::string CPaintManagerUI::GetStyle(std::string_view name) const {
  auto it = styles_.find(name);
  return it != styles_.end() ? it->second : std::string();
}

void CPaintManagerUI::SetDPI(int dpi) {
  dpi_.SetScale(dpi);
  NeedUpdate();
}

void CPaintManagerUI::ResetDPIAssets() { NeedUpdate(); }

void CPaintManagerUI::DeletePtr(void* ptr) { delete static_cast<MenuCmd*>(ptr); }

void CPaintManagerUI::ReloadText() {
  if (root_ != nullptr) root_->ReloadText();
  Invalidate();
}

// ---- process-wide resource settings ----

void CPaintManagerUI::SetInstance(std::string_view programFolder) {
  auto& s = Settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.instancePath = NormalizeFolder(programFolder);
}

std::string CPaintManagerUI::GetInstancePath() {
  auto& s = Settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.instancePath.empty()) s.instancePath = ProgramFolder();
  return s.instancePath;
}

void CPaintManagerUI::SetResourcePath(std::string_view path) {
  auto& s = Settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.resourcePath = NormalizeFolder(path);
  ResourceGeneration().fetch_add(1, std::memory_order_relaxed);
}

uint64_t CPaintManagerUI::GetResourcePathGeneration() {
  return ResourceGeneration().load(std::memory_order_relaxed);
}

std::string CPaintManagerUI::GetResourcePath() {
  auto& s = Settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.resourcePath;
}

void CPaintManagerUI::SetResourceType(int type) {
  auto& s = Settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.resourceType = type;
}

int CPaintManagerUI::GetResourceType() {
  auto& s = Settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.resourceType;
}

std::string CPaintManagerUI::ResolveResourceFile(std::string_view file) {
  std::string f(file);
  std::replace(f.begin(), f.end(), '\\', '/');
  if (!f.empty() && f.front() == '/') return f;
  return GetResourcePath() + f;
}

void CPaintManagerUI::ForEachManager(const std::function<void(CPaintManagerUI*)>& fn) {
  std::vector<CPaintManagerUI*> copy;
  {
    auto& list = Managers();
    std::lock_guard<std::mutex> lock(list.mutex);
    copy = list.managers;
  }
  for (CPaintManagerUI* pm : copy) fn(pm);
}

}  // namespace trx::ui
