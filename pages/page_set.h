#pragma once
// CPageSet: every page of the window, their router, and the fan-out of the
// device events to them. The main window creates one, passing itself as
// the dialogs, devices and window; a new page is one line in
// RegisterPages() (page_set.cpp).
//
// UI thread only.

#include <memory>
#include <vector>

#include "pages/frame_controls.h"
#include "pages/key_lights.h"
#include "pages/lighting_page.h"
#include "pages/page.h"
#include "pages/router.h"
#include "profile/init_profiles.h"
#include "profile/profile_operations.h"

namespace trx::pages {

class CProfileBar;
class CMouseButtonsPage;
class CKeyboardKeysPage;
class CMacroEditorPage;
class CProfileLinkPage;
class CMousePerformancePage;

class CPageSet {
 public:
  CPageSet(ui::CPaintManagerUI& pm, IDialogs& dialogs, IDevices& devices, IWindow& window);
  ~CPageSet();

  CRouter& Router() { return router_; }
  Controls& GetControls() { return controls_; }
  PageContext& Context() { return context_; }
  // The list the profile index fills at start.
  IProfileLists& ProfileLists();
  // The program-link controls of the profile families.
  CProfileLinkPage& ProfileLinks() { return *profile_links_; }
  // The mouse performance page (the desktop's pointer settings).
  CMousePerformancePage& MousePerformance() { return *performance_; }
  // The lighting previews' key-light controls (bound with the handles).
  const CKeyLights& KeyLights() const { return key_lights_; }
  // The window's own controls (bound with the handles).
  const FrameControls& Frame() const { return frame_; }
  // The lighting page of a device (the keyboard's is a
  // CKeyboardLightingPage); null before the pages are registered.
  CLightingPage* LightingPage(DeviceKind kind) const { return lighting_.Of(kind); }

  // The layout is built: the handles (AttachLayout) and the pages' own
  // start.
  void OnWindowInit();
  // Binds every handle of Bindings() once the layout has a root (the set's
  // construction over a built layout, or window init) and starts the key
  // lights' tint; later calls do nothing.
  void AttachLayout();
  // Every binding table: the window's own controls, the router's, the key
  // lights, then each page's in registration order (the layout test).
  ControlBindings Bindings();
  void Refresh(DeviceKind kind);
  void OnDeviceConnected(DeviceKind kind, const ConnectResult& result);
  void OnDeviceLeft(const RemovalPlan& plan);
  void OnSameModeChanged(DeviceKind kind, bool follows);
  // Profile selects made on any thread report here (profile/profile_operations.h).
  IProfileSelectTarget& ProfileSelectTarget();
  // kMsgProfileSelected: puts the queued select results on the controls.
  void ApplyProfileSelections();
  // The profile index files of a device changed outside the window: the
  // combos show them again.
  void ReloadProfileLists(DeviceKind kind);
  // After an onboard profile switch: the mouse's button-function panel.
  void HideMouseFunctionPanel();
  // A macro page holds an edit not yet saved (its save/cancel bar is up).
  bool UnsavedMacroEdit() const;
  // The fire-key routines hold edits not yet on the mouse.
  bool UnsavedRoutineEdit() const;
  // A key page holds button or key functions not yet saved to the device.
  bool UnsavedAssignments() const;
  // Saves every unsaved macro edit; true when none is left unsaved.
  bool SaveMacroEdits();

 private:
  void RegisterPages();
  template <typename T, typename... Args>
  T* Add(Args&&... args) {
    auto page = std::make_unique<T>(context_, std::forward<Args>(args)...);
    T* raw = page.get();
    pages_.push_back(std::move(page));
    return raw;
  }

  Controls controls_;
  PageContext context_;
  CRouter router_;
  // Before pages_: the lighting pages refer to them.
  CKeyLights key_lights_;
  FrameControls frame_;
  LightingGroup lighting_;
  std::vector<std::unique_ptr<CPage>> pages_;
  bool attached_ = false;  // the handles are bound
  CProfileBar* profile_bar_ = nullptr;
  CMouseButtonsPage* mouse_buttons_ = nullptr;
  CKeyboardKeysPage* keyboard_keys_ = nullptr;
  CMacroEditorPage* macro_pages_[2] = {};  // mouse, keyboard
  CProfileLinkPage* profile_links_ = nullptr;
  CMousePerformancePage* performance_ = nullptr;
};

}  // namespace trx::pages
