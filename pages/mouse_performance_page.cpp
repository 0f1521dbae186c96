#include "pages/mouse_performance_page.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "device/commands.h"
#include "pages/control_names.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "platform/desktop_pointer/desktop_pointer.h"
#include "presence/presence_messages.h"
#include "settings/dpi_range.h"
#include "settings/mouse_config_image.h"
#include "settings/onboard_profile.h"
#include "settings/record_apply.h"
#include "settings/settings_host.h"
#include "ui/core/combo.h"
#include "ui/core/edit.h"
#include "ui/core/label.h"
#include "ui/core/progress.h"
#include "ui/window/win_api.h"

namespace trx::pages {

namespace {

using namespace names;

constexpr ui::UiColor kActiveLevelColour = 0xFFFF0000;
constexpr ui::UiColor kOtherLevelColour = 0xFFFFFFFF;
constexpr int kPointerSliderMax = 9;  // positions 0 .. 9: speeds 2 .. 20

std::string DpiName(int level, const char* suffix) { return kMsDpiPrefix + std::to_string(level) + suffix; }

// Slider position -> speed and back.
int SpeedOfPosition(int position) { return (std::max(position, 0) + 1) * 2; }
int PositionOfSpeed(int speed) { return std::clamp(speed / 2 - 1, 0, kPointerSliderMax); }

// The edit's number; `fallback` when it holds none.
int EditNumber(const std::string& text, int fallback) {
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec == std::errc::result_out_of_range) return text.empty() || text[0] == '-' ? INT32_MIN : INT32_MAX;
  return ec == std::errc() && end != text.data() ? v : fallback;
}

void SaveBoth(const char* what) {
  if (SaveLightAndDeviceProfile() != ProfileSaveResult::Saved) DebugLineF("profiles could not be saved after a %s change", what);
}
void SaveDevice(const char* what) {
  if (IProfileSaver* saver = ProfileSaver())
    if (saver->SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Device) != ProfileSaveResult::Saved)
      DebugLineF("device profile could not be saved after a %s change", what);
}
void SaveLight(const char* what) {
  if (IProfileSaver* saver = ProfileSaver())
    if (saver->SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Light) != ProfileSaveResult::Saved)
      DebugLineF("light profile could not be saved after a %s change", what);
}

}  // namespace

CMousePerformancePage::CMousePerformancePage(PageContext& context) : CPage(context) {}
CMousePerformancePage::~CMousePerformancePage() = default;

void CMousePerformancePage::Bind(CRouter& router) {
  for (int level = 1; level <= kDpiColourButtonCount; ++level)
    router.Add(Table::Click, {kMsDpiColorBtnPrefix + std::to_string(level), Match::Exact,
                              [this, level](ui::TNotifyUI& msg, const NameSplit&) { PickDpiColour(msg.pSender, level); }});
  for (int level = 1; level <= kDpiLevelCount; ++level) {
    const std::string slider = DpiName(level, kDpiSliderSuffix);
    router.Add(Table::MoveValueChanged,
               {slider, Match::Exact, [this, level](ui::TNotifyUI&, const NameSplit&) { DpiSliderMoved(level); }});
    // Levels 5 and 6 store nothing; their label still follows a keyboard or
    // wheel change, which raises no move.
    router.Add(Table::ValueChanged, {slider, Match::Exact, [this, level](ui::TNotifyUI&, const NameSplit&) {
                                       if (level <= kDpiStoredLevelCount) DpiSliderReleased(level);
                                       else DpiSliderMoved(level);
                                     }});
    if (level <= kDpiStoredLevelCount)
      router.Add(Table::KillFocus, {DpiName(level, kDpiValueSuffix), Match::Exact,
                                    [this, level](ui::TNotifyUI&, const NameSplit&) { DpiTyped(level); }});
  }
  auto row = [this](Table table, const char* name, void (CMousePerformancePage::*fn)()) {
    return std::pair<Table, Route>{table, {name, Match::Exact, [this, fn](ui::TNotifyUI&, const NameSplit&) { (this->*fn)(); }}};
  };
  for (auto [table, route] : {row(Table::ItemSelect, kMsReportFctCombo, &CMousePerformancePage::ReportRateSelected),
                              row(Table::ValueChanged, kMsPointSpeedSlider, &CMousePerformancePage::PointerSpeedReleased),
                              row(Table::TextChanged, kMsGunlunSpeedEdit, &CMousePerformancePage::WheelLinesTyped),
                              row(Table::KillFocus, kMsGunlunSpeedEdit, &CMousePerformancePage::WheelLinesCommitted),
                              row(Table::Click, kMsOneProfileDefault, &CMousePerformancePage::RestoreMouseDefaults)})
    router.Add(table, std::move(route));
  router.Add(Table::Click, {kMsGunlunSpeedUpBtn, Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { WheelLinesStep(true); }});
  router.Add(Table::Click, {kMsGunlunSpeedDownBtn, Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { WheelLinesStep(false); }});
}

ControlBindings CMousePerformancePage::Bindings() {
  ControlBindings b;
  for (int level = 1; level <= kDpiLevelCount; ++level) {
    DpiRow& row = ui_.dpi[level - 1];
    b.push_back({DpiName(level, kDpiSliderSuffix), &row.slider});
    b.push_back({DpiName(level, kDpiValueSuffix), &row.value});
    b.push_back({DpiName(level, kDpiRankSuffix), &row.rank});
    b.push_back({DpiName(level, kDpiMinSuffix), &row.min});
    b.push_back({DpiName(level, kDpiMaxSuffix), &row.max});
    if (level <= kDpiColourButtonCount) b.push_back({kMsDpiColorBtnPrefix + std::to_string(level), &row.colour});
  }
  b.insert(b.end(), {{kMsReportFctCombo, &ui_.report_rate},
                     {kMsReportRateNote, &ui_.report_rate_note},
                     {kMsPointSpeedSlider, &ui_.pointer_speed},
                     {kMsPointSpeedRange, &ui_.pointer_speed_range},
                     {kMsPointSpeedNote, &ui_.pointer_speed_note},
                     {kMsGunlunSpeedEdit, &ui_.wheel_lines},
                     {kMsGunlunSpeedUpBtn, &ui_.wheel_up},
                     {kMsGunlunSpeedDownBtn, &ui_.wheel_down},
                     {kMsGunlunSpeedNote, &ui_.wheel_note}});
  return b;
}

void CMousePerformancePage::OnWindowInit() { ShowPointerPending(); }

void CMousePerformancePage::ShowPointerPending() {
  ui_.pointer_speed.Enable(false);
  ui_.wheel_lines.Enable(false);
  ui_.wheel_up.Enable(false);
  ui_.wheel_down.Enable(false);
  ui_.pointer_speed_note.Show(false);
  ui_.wheel_note.Show(false);
}

void CMousePerformancePage::ReadDesktopPointer(std::function<bool(std::function<void()>)> post) {
  Applier().ReadState([this, post = std::move(post)](const desktop::DesktopPointerState& state) {
    // The page outlives its applier's worker; the window drops posts once
    // it is closing.
    if (!post([this, state] { ShowDesktopPointer(state); })) DebugLine("desktop pointer settings: the window is closing");
  });
}

void CMousePerformancePage::ShowDesktopPointer(const desktop::DesktopPointerState& state) {
  pointer_known_ = true;
  const bool speed = state.has_speed;
  ui_.pointer_speed.Enable(speed);
  ui_.pointer_speed_range.Show(speed);
  ui_.pointer_speed_note.Show(!speed);
  // Without the setting the wheel row is disabled and its note takes the
  // place of the edit and its buttons (the row has no room for both).
  const bool lines = state.has_lines;
  ui_.wheel_lines.Enable(lines);
  ui_.wheel_lines.Show(lines);
  for (const Handle<>* button : {&ui_.wheel_up, &ui_.wheel_down}) {
    button->Enable(lines);
    button->Show(lines);
  }
  ui_.wheel_note.Show(!lines);
  // Values applied since the read (a profile selected meanwhile) are what
  // the desktop has now: the read ones don't replace them.
  if (state.speed_read && !applied_since_start_) ShowPointerSpeed(state.speed);
  if (state.lines_read && !applied_since_start_) ui_.wheel_lines.SetText(std::to_string(state.lines));
  DebugLineF("desktop pointer settings: %s (pointer speed %s, wheel lines %s)", state.name.c_str(),
             speed ? "available" : "not available", lines ? "available" : "not available");
}

// ---------------------------------------------------------------- refresh

void CMousePerformancePage::Refresh(DeviceKind kind) {
  if (kind != DeviceKind::Mouse) return;
  const int rate = image().Mouse([](MouseConfigImage& m) { return m.CurrentRecord()[kRecReportRate]; });
  if (ui::CComboUI* combo = ui_.report_rate.get()) {
    if (!combo->SelectItem(rate, false, false)) DebugLineF("report rate index %d is not in the list", rate);
  }
  ui_.report_rate_note.Show(false);  // the combo shows the mouse's own rate again
  RefreshDpi();
}

void CMousePerformancePage::RefreshDpi() {
  uint8_t info[sizeof(MouseConfigImage::device_info)];
  uint8_t record[kCurrentRecordSize];
  image().Mouse([&](MouseConfigImage& m) {
    if (auto range = RangeOfSensor(m.SensorId())) m.SetDpiBase(static_cast<uint16_t>(range->dpi_base));
    std::copy(std::begin(m.device_info), std::end(m.device_info), info);
    std::copy(m.current, m.current + kCurrentRecordSize, record);
  });
  // The scale shows what the sliders reach: the DPI base and the DPI of the
  // highest position the mouse reports (as `trx770ctl dpi` accepts them).
  for (int level = 1; level <= kDpiLevelCount; ++level) {
    Dpi(level).min.SetText(std::to_string(DpiBase(info)));
    Dpi(level).max.SetText(std::to_string(DpiMax(info)));
  }
  for (int level = 1; level <= kDpiStoredLevelCount; ++level) {
    const uint8_t position = record[kRecDpiLevels + level - 1];
    if (ui::CSliderUI* slider = Dpi(level).slider.get()) {
      slider->SetMinValue(0);
      slider->SetMaxValue(info[kInfoDpiMaxPosition]);
      slider->SetValue(position);
    }
    Dpi(level).value.SetText(std::to_string(DpiOfPosition(info, position)));
    const uint8_t* rgb = record + kRecDpiColours + 3 * (level - 1);
    if (ui::CControlUI* button = Dpi(level).colour.get())
      button->SetBkColor(0xFF000000u | uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2]);
  }
  // Levels 5 and 6 store nothing, but their range and label follow the
  // device too.
  for (int level = kDpiStoredLevelCount + 1; level <= kDpiLevelCount; ++level) {
    if (ui::CSliderUI* slider = Dpi(level).slider.get()) {
      slider->SetMinValue(0);
      slider->SetMaxValue(info[kInfoDpiMaxPosition]);
      Dpi(level).value.SetText(std::to_string(DpiOfPosition(info, static_cast<uint8_t>(std::clamp(slider->GetValue(), 0, 255)))));
    }
  }
  HighlightActiveLevel(record[kRecCurrentDpiLevel]);
}

void CMousePerformancePage::HighlightActiveLevel(int active) {
  if (active > kDpiLevelCount - 1) active = 0;  // an unknown level shows level 1
  for (int level = 1; level <= kDpiLevelCount; ++level) {
    const ui::UiColor colour = level == active + 1 ? kActiveLevelColour : kOtherLevelColour;
    for (const Handle<ui::CLabelUI>* label : {&Dpi(level).rank, &Dpi(level).value})
      if (label->get() != nullptr) label->get()->SetTextColor(colour);
  }
}

// ---------------------------------------------------------------- DPI

void CMousePerformancePage::ShowDpiLabel(int level, int position) {
  const int dpi =
      image().Mouse([position](MouseConfigImage& m) { return DpiOfPosition(m.device_info, static_cast<uint8_t>(position)); });
  Dpi(level).value.SetText(std::to_string(dpi));
}

void CMousePerformancePage::DpiSliderMoved(int level) {
  if (ui::CSliderUI* slider = Dpi(level).slider.get())
    ShowDpiLabel(level, slider->GetValue());
}

void CMousePerformancePage::DpiSliderReleased(int level) {
  ui::CSliderUI* slider = Dpi(level).slider.get();
  if (slider == nullptr) return;
  const int position = std::clamp(slider->GetValue(), 0, 255);
  image().Mouse([&](MouseConfigImage& m) { m.CurrentRecord()[kRecDpiLevels + level - 1] = static_cast<uint8_t>(position); });
  ShowDpiLabel(level, position);
  ctx_.devices.MarkSettingsPending(DeviceKind::Mouse);
  SaveBoth("DPI level");
}

// A typed DPI value takes the nearest position the mouse has (within its
// range) and is stored as a released slider is; an empty or unreadable
// entry shows the stored value again.
void CMousePerformancePage::DpiTyped(int level) {
  ui::CSliderUI* slider = Dpi(level).slider.get();
  auto* edit = dynamic_cast<ui::CEditUI*>(Dpi(level).value.get());
  if (slider == nullptr || edit == nullptr) return;
  const int typed = EditNumber(edit->GetText(), -1);
  if (typed < 0) {
    ShowDpiLabel(level, slider->GetValue());
    return;
  }
  const int position = image().Mouse([typed](MouseConfigImage& m) { return NearestPositionOfDpi(m.device_info, typed); });
  slider->SetValue(position);
  DpiSliderReleased(level);
}

void CMousePerformancePage::PickDpiColour(ui::CControlUI* button, int level) {
  if (button == nullptr || level < 1 || level > kDpiColourButtonCount) return;
  ui::UiColor colour = 0;
  if (!ctx_.dialogs.PickColour(button->GetBkColor(), ctx_.window.CursorPos(), &colour)) return;
  button->SetBkColor(colour);
  image().Mouse([&](MouseConfigImage& m) {
    uint8_t* rgb = m.CurrentRecord() + kRecDpiColours + 3 * (level - 1);
    rgb[0] = static_cast<uint8_t>(colour >> 16);
    rgb[1] = static_cast<uint8_t>(colour >> 8);
    rgb[2] = static_cast<uint8_t>(colour);
  });
  ctx_.devices.MarkSettingsPending(DeviceKind::Mouse);
  SaveDevice("DPI colour");
}

// ---------------------------------------------------------------- report rate

void CMousePerformancePage::ReportRateSelected() {
  ui::CComboUI* combo = ui_.report_rate.get();
  if (combo == nullptr || combo->GetCurSel() < 0) return;
  const auto rate = static_cast<uint8_t>(combo->GetCurSel());
  image().Mouse([rate](MouseConfigImage& m) { m.CurrentRecord()[kRecReportRate] = rate; });
  ctx_.devices.MarkSettingsPending(DeviceKind::Mouse);
  SaveLight("report rate");
  ui_.report_rate_note.Show(false);
  SendReportRate();
}

// The timed send never writes the rate: the whole record goes out at once
// on the mouse's queue, as a device profile selection sends it.
void CMousePerformancePage::SendReportRate() {
  if (!ctx_.devices.Channel(DeviceKind::Mouse).connected) return;  // stored; the profile carries it
  const bool started = ctx_.devices.Submit(
      DeviceKind::Mouse, Operation(
                             "report rate", [](OperationContext& op) { return SendMouseRecordWhole(op.Channel()); },
                             [this](const OperationOutcome& o) {
                               if (o.Ok()) return;
                               DebugLineF("report rate: the mouse answered %d (%s)", o.result.Code(),
                                          OperationStatusName(o.status));
                               ui_.report_rate_note.Show(true);
                             }));
  if (!started) DebugLine("report rate not sent: the window is closing");
}

// ---------------------------------------------------------------- computer settings

desktop::CDesktopApplier& CMousePerformancePage::Applier() {
  if (!applier_) applier_ = std::make_unique<desktop::CDesktopApplier>(desktop::DesktopPointer());
  return *applier_;
}

void CMousePerformancePage::ShowPointerSpeed(int speed) {
  if (ui::CSliderUI* slider = ui_.pointer_speed.get()) slider->SetValue(PositionOfSpeed(speed));
}

void CMousePerformancePage::ShowAndApplyPointer(int speed, int lines) {
  applied_since_start_ = true;
  speed = std::clamp(speed, desktop::kPointerSpeedMin, desktop::kPointerSpeedMax);
  lines = std::clamp(lines, desktop::kWheelLinesMin, desktop::kWheelLinesMax);
  ShowPointerSpeed(speed);
  ui_.wheel_lines.SetText(std::to_string(lines));
  Applier().ApplyPointerSpeed(speed);
  Applier().ApplyWheelLines(lines);
}

void CMousePerformancePage::PointerSpeedReleased() {
  ui::CSliderUI* slider = ui_.pointer_speed.get();
  if (slider == nullptr) return;
  const int speed = std::clamp(SpeedOfPosition(slider->GetValue()), desktop::kPointerSpeedMin, desktop::kPointerSpeedMax);
  image().Mouse([speed](MouseConfigImage& m) { m.pointer_speed = static_cast<uint8_t>(speed); });
  Applier().ApplyPointerSpeed(speed);
  SaveBoth("pointer speed");
}

void CMousePerformancePage::SetWheelLines(int lines, bool save_light_too) {
  image().Mouse([lines](MouseConfigImage& m) { m.wheel_lines = static_cast<uint8_t>(lines); });
  Applier().ApplyWheelLines(lines);
  if (save_light_too) SaveBoth("wheel lines");
  else SaveDevice("wheel lines");
}

void CMousePerformancePage::WheelLinesStep(bool up) {
  ui::CEditUI* edit = ui_.wheel_lines.get();
  if (edit == nullptr) return;
  int v = EditNumber(edit->GetText(), desktop::kWheelLinesMin);
  if (up) v = std::min(std::max(v, desktop::kWheelLinesMin) + 1, desktop::kWheelLinesMax);
  else v = std::max(std::min(v, desktop::kWheelLinesMax) - 1, desktop::kWheelLinesMin);
  edit->SetText(std::to_string(v));
  SetWheelLines(v, true);
}

void CMousePerformancePage::WheelLinesTyped() {
  ui::CEditUI* edit = ui_.wheel_lines.get();
  if (edit == nullptr) return;
  const std::string text = edit->GetText();
  if (text.empty()) return;  // being retyped: the commit decides
  const int v = EditNumber(text, desktop::kWheelLinesMin);
  if (v > desktop::kWheelLinesMax) edit->SetText(std::to_string(desktop::kWheelLinesMax));
  else if (v < desktop::kWheelLinesMin) edit->SetText(std::to_string(desktop::kWheelLinesMin));
}

void CMousePerformancePage::WheelLinesCommitted() {
  ui::CEditUI* edit = ui_.wheel_lines.get();
  if (edit == nullptr || !edit->IsEnabled()) return;
  const int stored = image().Mouse([](MouseConfigImage& m) {
    return m.wheel_lines != 0 ? int{m.wheel_lines} : desktop::kWheelLinesDefault;
  });
  // An emptied edit keeps the stored value.
  const int v = std::clamp(EditNumber(edit->GetText(), stored), desktop::kWheelLinesMin, desktop::kWheelLinesMax);
  edit->SetText(std::to_string(v));
  SetWheelLines(v, false);
}

// ---------------------------------------------------------------- defaults

void CMousePerformancePage::RestoreMouseDefaults() {
  applied_since_start_ = true;
  ShowPointerSpeed(desktop::kPointerSpeedDefault);
  ui_.wheel_lines.SetText(std::to_string(desktop::kWheelLinesDefault));
  image().Mouse([](MouseConfigImage& m) {
    m.pointer_speed = desktop::kPointerSpeedDefault;
    m.wheel_lines = desktop::kWheelLinesDefault;
  });
  Applier().ApplyPointerSpeed(desktop::kPointerSpeedDefault);
  Applier().ApplyWheelLines(desktop::kWheelLinesDefault);
  SaveBoth("restore defaults");
  if (!ctx_.devices.Channel(DeviceKind::Mouse).connected) return;
  ctx_.devices.Submit(
      DeviceKind::Mouse,
      Operation(
          "mouse defaults",
          [](OperationContext& op) {
            const CommandResult rc = ResetToDefaults(op.Channel());
            if (rc != kResultOk) DebugLineF("reset to defaults: the mouse answered %d", CommandCode(rc));
            return rc;
          },
          [this](const OperationOutcome&) {
            // The mouse now holds its defaults and the image its old values,
            // which the next timed send would write back: read the whole
            // mouse again (the window's read message; the pages refresh
            // when it is done).
            if (ui::HWND window = controls().PaintManager().GetPaintWindow()) {
              if (!ui::PostMessage(window, kMsgMouseReadAll)) DebugLine("mouse read after reset not posted: window gone");
            }
          }));
}

}  // namespace trx::pages
