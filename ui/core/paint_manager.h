#pragma once
// CPaintManagerUI: owns one window's control tree and everything about it
// that is not native: lookup by name and by point, notifier dispatch, input
// routing (hot, pushed, captured and focused controls), layout and paint
// passes, the window attributes of the layout (<Window size= caption=
// roundcorner= ...>, fonts, default attribute lists) and the process-wide
// resource settings (instance path, resource path, resource type).
//
// The native side (IPaintHost, implemented by the Qt backend) feeds input
// through the On... entry points in client coordinates and calls Paint; tests
// do the same without a host.
//
// Threading: all members are for the UI thread. The static resource
// settings may be read from any thread (they are guarded), and the list of
// live managers used by CResourceManager::ReloadText is guarded too.
//
// FindControl(name) compares names exactly (case-sensitive) and returns the
// first match in tree order; null when absent.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "ui/core/control.h"
#include "ui/core/dpi.h"
#include "ui/core/event.h"
#include "ui/core/notify.h"
#include "ui/core/paint_host.h"
#include "ui/core/renderer.h"
#include "ui/core/ui_types.h"

namespace trx::ui {

// Resource types for SetResourceType. Only loose files exist on this
// platform; the other values are accepted and treated like UILIB_FILE.
enum ResourceType { UILIB_FILE = 1, UILIB_ZIP = 2, UILIB_RESOURCE = 3, UILIB_ZIPRESOURCE = 4 };

// Window message numbers that MessageHandler understands (the window layer
// passes the ones it does not handle itself). Mouse messages carry the
// client point in lParam: x in the low 16 bits, y in the next 16 (signed).
enum CoreMessage : UINT {
  WM_SIZE = 0x0005,
  WM_KILLFOCUS = 0x0008,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_MOUSEWHEEL = 0x020A,   // wParam high 16 bits: signed wheel delta
  WM_MOUSELEAVE = 0x02A3,
};

inline LPARAM MakePointLParam(int x, int y) {
  return static_cast<LPARAM>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(x))) |
                             (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16));
}

inline UiPoint PointFromLParam(LPARAM l) {
  return {static_cast<std::int16_t>(l & 0xFFFF), static_cast<std::int16_t>((l >> 16) & 0xFFFF)};
}

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // Binds the manager to its window; host may be null (headless).
  void Init(HWND wnd, IPaintHost* host = nullptr, std::string_view name = {});
  HWND GetPaintWindow() const { return wnd_; }
  // Whether the caller runs on the thread that called Init (the UI thread).
  // Control trees must only be touched there; a notification raised from
  // another thread is still delivered but writes a debug line, so that
  // worker code touching controls directly shows up.
  bool IsUiThread() const { return std::this_thread::get_id() == uiThread_; }
  IPaintHost* GetHost() const { return host_; }
  void SetHost(IPaintHost* host) { host_ = host; }

  // Takes ownership of the tree (the previous root is deleted).
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const { return root_; }
  // Attaches a control subtree to this manager (builder and Add use it).
  bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
  // Drops every reference the manager holds to control (hot, focus,
  // capture...) before it is deleted; containers call it.
  void ReapObjects(CControlUI* control);
  // Deletes control now, or after the current input dispatch when one is
  // running (handlers may remove the control that raised the notification).
  void DeleteControlLater(CControlUI* control);

  // ---- lookup ----
  CControlUI* FindControl(std::string_view name) const;
  CControlUI* FindControl(UiPoint pt) const;
  CControlUI* FindSubControlByName(CControlUI* parent, std::string_view name) const;
  CControlUI* FindSubControlByPoint(CControlUI* parent, UiPoint pt) const;
  // Every control of the tree (visible or not) for which pred is true.
  std::vector<CControlUI*> FindControls(const FindPredicate& pred) const;

  // ---- notifications ----
  bool AddNotifier(INotifyUI* notifier);      // false when already added
  bool RemoveNotifier(INotifyUI* notifier);
  // Dispatches synchronously to the notifiers in the order they were added.
  void SendNotify(CControlUI* control, std::string_view type, WPARAM wParam = 0, LPARAM lParam = 0);
  void SendNotify(TNotifyUI& msg);

  // ---- updates and painting ----
  void NeedUpdate();            // relayout before the next paint
  bool IsUpdateNeeded() const { return updateNeeded_; }
  void Invalidate();            // whole client area
  void Invalidate(const UiRect& rc);
  // Only the control's tint changed (IPaintHost::InvalidateTint).
  void InvalidateTint(CControlUI* control);
  // The area repainted many times a second (IPaintHost::SetLiveArea).
  void SetLiveArea(const UiRect& rc) {
    if (host_ != nullptr) host_->SetLiveArea(rc);
  }
  // Client size; relays out the root. Sends "windowsize" to the root.
  void SetClientSize(UiSize size);
  UiSize GetClientSize() const { return clientSize_; }
  // Lays out when needed (root over the client area).
  void UpdateLayout();
  // Lays out when needed and paints the tree parts meeting dirty. The first
  // call sends "windowinit" (after that paint).
  void Paint(IRenderer& r, const UiRect& dirty);
  // Paint with `control` showing `tint` instead of its own, which it
  // keeps (no repaint is scheduled).
  void PaintWithTint(IRenderer& r, const UiRect& dirty, CControlUI* control, const TImageTint& tint);
  bool IsWindowInitSent() const { return windowInitSent_; }
  // A native window's host sends "windowinit" itself once its first paint
  // event has ended (SendWindowInit), so that a handler opening a modal
  // dialog does not run it inside the paint; Paint then leaves it out.
  void SetWindowInitByHost(bool byHost) { windowInitByHost_ = byHost; }
  void SendWindowInit();  // "windowinit" to the root, once

  // ---- input (client coordinates) ----
  void OnMouseMove(UiPoint pt, std::uint16_t keyState = 0);
  void OnMouseLeaveWindow();
  void OnButtonDown(UiPoint pt, std::uint16_t keyState = MK_LBUTTON);
  void OnButtonUp(UiPoint pt, std::uint16_t keyState = 0);
  void OnDoubleClick(UiPoint pt, std::uint16_t keyState = MK_LBUTTON);
  void OnRButtonDown(UiPoint pt, std::uint16_t keyState = MK_RBUTTON);
  void OnRButtonUp(UiPoint pt, std::uint16_t keyState = 0);
  // delta > 0 scrolls up (away from the user), one notch = 120.
  void OnMouseWheel(UiPoint pt, int delta, std::uint16_t keyState = 0);
  // Returns true when a control used the key.
  bool OnKeyDown(std::uint32_t key, std::uint16_t keyState = 0);
  bool OnKeyUp(std::uint32_t key, std::uint16_t keyState = 0);
  bool OnChar(std::uint32_t codePoint, std::uint16_t keyState = 0);
  // The window lost the keyboard focus (focus control keeps its place,
  // captures and pushed states end).
  void OnWindowFocusLost();
  // Routes the window messages of CoreMessage; returns true when handled.
  bool MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  CControlUI* GetFocus() const { return focus_; }
  // Moves the focus (null clears it): "killfocus" to the old control, then
  // "setfocus" to the new one.
  void SetFocus(CControlUI* control);
  // Tab order: next/previous visible enabled focusable control in tree order.
  bool SetNextTabControl(bool forward = true);
  CControlUI* GetHot() const { return hot_; }
  CControlUI* GetCapture() const { return capture_; }
  void SetCapture(CControlUI* control);
  void ReleaseCapture();
  UiPoint GetMousePos() const { return mousePos_; }

  // ---- window attributes from the layout ----
  UiSize GetInitSize() const { return initSize_; }
  void SetInitSize(int cx, int cy) { initSize_ = {cx, cy}; }
  UiSize GetRoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int cx, int cy) { roundCorner_ = {cx, cy}; }
  // The colour laid over a disabled control (ARGB; 0: none), so that every
  // control kind looks disabled; "disabledveil" in the layout.
  UiColor GetDisabledVeil() const { return disabledVeil_; }
  void SetDisabledVeil(UiColor color) { disabledVeil_ = color; }
  // Caption area: left/right are margins from the sides, top/bottom are
  // offsets from the top of the client area.
  const UiRect& GetCaptionRect() const { return caption_; }
  void SetCaptionRect(const UiRect& rc) { caption_ = rc; }
  const UiRect& GetSizeBox() const { return sizeBox_; }
  void SetSizeBox(const UiRect& rc) { sizeBox_ = rc; }
  UiSize GetMinInfo() const { return minInfo_; }
  void SetMinInfo(int cx, int cy) { minInfo_ = {cx, cy}; }
  UiSize GetMaxInfo() const { return maxInfo_; }
  void SetMaxInfo(int cx, int cy) { maxInfo_ = {cx, cy}; }
  // Applies a <Window> attribute; unknown names return false.
  bool SetWindowAttribute(std::string_view name, std::string_view value);

  // Fonts: id -> font; GetFont of an unknown id (or -1) gives the default.
  void AddFont(int id, const TFontInfo& font, bool isDefault = false);
  const TFontInfo& GetFont(int id) const;
  const TFontInfo& GetDefaultFont() const { return defaultFont_; }
  void AddDefaultAttributeList(std::string_view controlClass, std::string_view list);
  std::string GetDefaultAttributeList(std::string_view controlClass) const;
  // Named attribute lists (<Style name= value=/>) applied by style="name".
  void AddStyle(std::string_view name, std::string_view list);
  std::string GetStyle(std::string_view name) const;

  // ---- DPI ----
  CDPI* GetDPIObj() { return &dpi_; }
  void SetDPI(int dpi);
  void ResetDPIAssets();  // relayout and repaint at the new DPI

  // Releases a menu command record (see menu.h) posted with the menu-click
  // message; null is ignored.
  void DeletePtr(void* ptr);

  // Re-reads resource texts of the tree and repaints.
  void ReloadText();

  // ---- process-wide resource settings ----
  // Folder of the program (with a trailing '/'); SetInstance overrides the
  // folder found from /proc/self/exe.
  static void SetInstance(std::string_view programFolder);
  static std::string GetInstancePath();
  // Base folder of layouts and images ('\\' become '/', a trailing '/' is
  // added).
  static void SetResourcePath(std::string_view path);
  static std::string GetResourcePath();
  // Changes whenever SetResourcePath is called (any thread, lock-free).
  static uint64_t GetResourcePathGeneration();
  static void SetResourceType(int type);
  static int GetResourceType();
  // Resolves a file named by a layout: absolute paths stay, others are
  // joined to the resource path; '\\' become '/'.
  static std::string ResolveResourceFile(std::string_view file);
  // Visits every live manager (UI thread; used by ReloadText).
  static void ForEachManager(const std::function<void(CPaintManagerUI*)>& fn);

  // Runs the message loop until quit is posted; returns the quit code.
  // Declared here for the library's callers; it is DEFINED by the window
  // layer (ui/window), which owns the loop.
  static int MessageLoop();

  const std::string& GetName() const { return name_; }

 private:
  void DispatchEvent(CControlUI* target, TEventUI& ev);
  void SetHot(CControlUI* control, UiPoint pt);
  void BeginDispatch() { ++dispatchDepth_; }
  void EndDispatch();
  TEventUI MakeEvent(int type, UiPoint pt, std::uint16_t keyState) const;
  // Drag notifications (notify.h) for a pressed control that asked for them.
  void BeginDrag(CControlUI* control, UiPoint pt, std::uint16_t keyState);
  void SendDrag(CControlUI* control, const char* type, std::uint16_t keyState);
  void EndDrag(std::uint16_t keyState);

  HWND wnd_ = nullptr;
  std::thread::id uiThread_ = std::this_thread::get_id();
  IPaintHost* host_ = nullptr;
  std::string name_;
  CControlUI* root_ = nullptr;
  std::vector<INotifyUI*> notifiers_;
  CControlUI* hot_ = nullptr;
  CControlUI* focus_ = nullptr;
  CControlUI* capture_ = nullptr;
  CControlUI* pushed_ = nullptr;   // control that got the button down
  CControlUI* drag_ = nullptr;     // pressed control raising drag notifications
  UiPoint dragStart_{};
  UiPoint mousePos_{};
  UiSize clientSize_{};
  bool updateNeeded_ = true;
  bool windowInitSent_ = false;
  bool windowInitByHost_ = false;
  int dispatchDepth_ = 0;
  std::vector<CControlUI*> delayedDelete_;
  UiSize initSize_{};
  UiSize roundCorner_{};
  UiColor disabledVeil_ = 0x99101317;
  UiRect caption_{};
  UiRect sizeBox_{};
  UiSize minInfo_{};
  UiSize maxInfo_{};
  std::map<int, TFontInfo> fonts_;
  TFontInfo defaultFont_{};
  std::map<std::string, std::string, std::less<>> defaultAttributes_;
  std::map<std::string, std::string, std::less<>> styles_;
  CDPI dpi_;
};

}  // namespace trx::ui
