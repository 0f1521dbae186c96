#pragma once
// CPage: one page of the window (or one strip of controls shared by the
// pages), owning its controls' behaviour, its state and its routing rows.
// A page reaches the rest of the program only through its PageContext.
//
// Lifecycle: the page set constructs every page, then binds each to the
// router (Bind adds the page's rows), binds the handles of Bindings() once
// the layout is built (pages/control_handles.h), then calls OnWindowInit;
// the device events follow as devices come and go.
//
// UI thread only.

#include "pages/control_handles.h"
#include "pages/page_context.h"
#include "presence/presence_events.h"

namespace trx::pages {

class CRouter;

class CPage {
 public:
  explicit CPage(PageContext& context) : ctx_(context) {}
  virtual ~CPage() = default;
  CPage(const CPage&) = delete;
  CPage& operator=(const CPage&) = delete;

  // Adds the page's routing rows.
  virtual void Bind(CRouter& router) = 0;
  // The page's typed control handles by name (none: the page looks its
  // controls up through controls()).
  virtual ControlBindings Bindings() { return {}; }
  // The layout is built and shown for the first time.
  virtual void OnWindowInit() {}
  // The image of `kind` changed (a device read, an onboard switch): show it.
  virtual void Refresh(DeviceKind) {}
  // A device connected; `result` says what its read found.
  virtual void OnDeviceConnected(DeviceKind, const ConnectResult&) {}
  // A device left.
  virtual void OnDeviceLeft(const RemovalPlan&) {}
  // A connected device's "follows synchronised lighting" state changed.
  virtual void OnSameModeChanged(DeviceKind, bool) {}

 protected:
  Controls& controls() const { return ctx_.controls; }
  const ImageAccess& image() const { return ctx_.image; }
  PageContext& ctx_;
};

}  // namespace trx::pages
