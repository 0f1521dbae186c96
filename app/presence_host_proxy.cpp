#include "app/presence_host_proxy.h"

namespace trx::app {

PresenceHostProxy::PresenceHostProxy(std::shared_ptr<CDeviceChannel> keyboard, std::shared_ptr<CDeviceChannel> mouse,
                                     std::shared_ptr<CDeviceChannel> pad)
    : keyboard_(std::move(keyboard)), mouse_(std::move(mouse)), pad_(std::move(pad)) {}

void PresenceHostProxy::Attach(IPresenceHost* window) {
  std::lock_guard<std::mutex> lock(mutex_);
  window_ = window;
}

void PresenceHostProxy::Detach() {
  std::unique_lock<std::mutex> lock(mutex_);
  window_ = nullptr;
  idle_.wait(lock, [this] { return in_flight_ == 0; });
}

PresenceHostProxy::Lease::Lease(PresenceHostProxy& proxy) : proxy_(proxy) {
  std::lock_guard<std::mutex> lock(proxy_.mutex_);
  window_ = proxy_.window_;
  if (window_ != nullptr) ++proxy_.in_flight_;
}

PresenceHostProxy::Lease::~Lease() {
  if (window_ == nullptr) return;
  std::lock_guard<std::mutex> lock(proxy_.mutex_);
  if (--proxy_.in_flight_ == 0) proxy_.idle_.notify_all();
}

CDeviceChannel& PresenceHostProxy::Channel(DeviceKind kind) {
  return kind == DeviceKind::Keyboard ? *keyboard_ : kind == DeviceKind::Mouse ? *mouse_ : *pad_;
}

void PresenceHostProxy::OnDeviceConnected(DeviceKind kind, const ConnectResult& result) {
  if (Lease w{*this}) w->OnDeviceConnected(kind, result);
}
void PresenceHostProxy::OnDeviceLeft(const RemovalPlan& plan) {
  if (Lease w{*this}) w->OnDeviceLeft(plan);
}
void PresenceHostProxy::OnSameModeChanged(DeviceKind kind, bool follows) {
  if (Lease w{*this}) w->OnSameModeChanged(kind, follows);
}
void PresenceHostProxy::OnDeviceRead(DeviceKind kind) {
  if (Lease w{*this}) w->OnDeviceRead(kind);
}
void PresenceHostProxy::ShowMainWindow() {
  if (Lease w{*this}) w->ShowMainWindow();
}
int PresenceHostProxy::ShowMessage(const char* text_id) {
  if (Lease w{*this}) return w->ShowMessage(text_id);
  return 0;  // no window: nothing confirmed
}
void PresenceHostProxy::PostInstanceMessage() {
  if (Lease w{*this}) w->PostInstanceMessage();
}
void PresenceHostProxy::StartTimer(int id, int period_ms) {
  if (Lease w{*this}) w->StartTimer(id, period_ms);
}
void PresenceHostProxy::SendReadMessage(uint32_t message) {
  if (Lease w{*this}) w->SendReadMessage(message);
}
void PresenceHostProxy::RequestLightingRefresh() {
  if (Lease w{*this}) w->RequestLightingRefresh();
}
void PresenceHostProxy::ReadMouseRoutines() {
  if (Lease w{*this}) w->ReadMouseRoutines();
}

}  // namespace trx::app
