#include "app/lighting_preview_host.h"

#include <algorithm>
#include <iterator>

#include "lighting/key_leds.h"

namespace trx::app {

namespace {
// Slot range of each preview.
struct Range {
  DeviceKind kind;
  int first, count;
};
constexpr Range kRanges[] = {{DeviceKind::Mouse, lighting::kMouseFirstSlot, lighting::kMouseSlots},
                             {DeviceKind::MousePad, lighting::kPadFirstSlot, lighting::kPadSlots},
                             {DeviceKind::Keyboard, lighting::kKeyboardFirstSlot, lighting::kKeyboardSlots}};

bool PreviewOnScreen(const pages::CKeyLights& lights, const Range& r) {
  for (int i = 0; i < r.count; ++i)
    if (ui::CControlUI* c = lights.Light(r.kind, i)) return c->IsVisible();
  return false;
}
}  // namespace

LightingPreviewHost::LightingPreviewHost(std::shared_ptr<CDeviceChannel> mouse, std::shared_ptr<CDeviceChannel> pad,
                                         std::shared_ptr<CDeviceChannel> keyboard, int first_delay_ms)
    : mouse_(std::move(mouse)),
      pad_(std::move(pad)),
      keyboard_(std::move(keyboard)),
      runtime_(std::make_shared<lighting::LightingRuntime>(*mouse_, *pad_, *keyboard_, first_delay_ms)) {
  pages::SetLightingPreview(this);
}

LightingPreviewHost::~LightingPreviewHost() {
  if (pages::LightingPreview() == this) pages::SetLightingPreview(nullptr);
}

void LightingPreviewHost::SetBodies(WorkerThreads& workers) const {
  using Run = void (lighting::LightingRuntime::*)(CEvent&);
  auto body = [this](Run run) {
    return [rt = runtime_, m = mouse_, p = pad_, k = keyboard_, run](CEvent& stop) { ((*rt).*run)(stop); };
  };
  workers.SetBody(kWorkerLightSync, body(&lighting::LightingRuntime::RunSync));
  workers.SetBody(kWorkerMouseLight, body(&lighting::LightingRuntime::RunMouse));
  workers.SetBody(kWorkerPadLight, body(&lighting::LightingRuntime::RunPad));
  workers.SetBody(kWorkerKeyboardLight, body(&lighting::LightingRuntime::RunKeyboard));
}

int LightingPreviewHost::OnFrameTimer(const pages::CKeyLights& lights, bool window_shown) {
  // Only the families whose preview is on screen compute frames.
  bool shown[std::size(kRanges)] = {};
  bool on_screen = false;
  for (size_t i = 0; i < std::size(kRanges); ++i) {
    shown[i] = window_shown && PreviewOnScreen(lights, kRanges[i]);
    on_screen = on_screen || shown[i];
  }
  runtime_->SetFamiliesShown(shown[0], shown[1], shown[2]);
  if (!window_shown) return kPreviewHiddenPeriodMs;
  if (!on_screen) return kPreviewPausedPeriodMs;

  uint32_t visible = 0;
  for (int i = 0; i < lighting::kMouseSlots; ++i)
    if (ui::CControlUI* c = lights.Light(DeviceKind::Mouse, i); c != nullptr && c->IsVisible()) visible |= 1u << i;
  runtime_->SetMouseVisible(visible);

  if (!runtime_->TakeFrame(newest_, generation_)) return kPreviewFramePeriodMs;
  // Only tints that differ from what a control shows reach it: an unchanged
  // LED costs nothing. Compared with the control rather than the last frame,
  // since a page paints the keys itself too (custom colours, and their
  // removal when the mode changes), and the next frame puts them right.
  for (const Range& r : kRanges)
    for (int i = 0; i < r.count; ++i) {
      const lighting::Tint& t = newest_.tints[static_cast<size_t>(r.first + i)];
      const ui::CControlUI* c = lights.Light(r.kind, i);
      if (c == nullptr) continue;  // absent control: nothing to tint
      if ((c->GetChangerColor() & 0xFFFFFFu) != (t.colour & 0xFFFFFFu))
        (void)lights.SetColour(r.kind, static_cast<unsigned long long>(i), t.colour);
      if (c->GetChangerAlpha() != t.alpha) (void)lights.SetAlpha(r.kind, static_cast<unsigned long long>(i), t.alpha);
    }
  return kPreviewFramePeriodMs;
}

ui::UiRect LightingPreviewHost::KeyboardArea(const pages::CKeyLights& lights) {
  ui::UiRect area{};
  for (int i = 0; i < lighting::kKeyboardSlots; ++i) {
    const ui::CControlUI* c = lights.Light(DeviceKind::Keyboard, i);
    if (c == nullptr || !c->IsVisible() || c->GetPos().IsEmpty()) continue;
    const ui::UiRect& rc = c->GetPos();
    area = area.IsEmpty() ? rc
                          : ui::UiRect{std::min(area.left, rc.left), std::min(area.top, rc.top),
                                       std::max(area.right, rc.right), std::max(area.bottom, rc.bottom)};
  }
  return area;
}

void LightingPreviewHost::OnKeyPressed(const KeyEventRecord& record) {
  const int led = lighting::KeyLedOfVirtualKey(record.vk_code, (record.flags & kKeyFlagExtended) != 0);
  if (led >= 0) runtime_->MarkKey(led);
}

void LightingPreviewHost::RestartPreview(DeviceKind kind, pages::PreviewStart start) {
  runtime_->RestartFamily(kind, 0, start == pages::PreviewStart::FirstGroup);
}

void LightingPreviewHost::ResetKeyboardPreview(int mode) { runtime_->ResetKeyboard(mode); }

}  // namespace trx::app
