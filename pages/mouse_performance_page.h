#pragma once
// The mouse's performance page ("Mouse_DPI.xml"): DPI levels and their
// colours, the report rate, and the computer's pointer speed and wheel
// lines.
//
// Refresh(Mouse) puts the current record on the page: the report rate
// (record byte 14), the DPI range of the sensor (the DPI base is written
// into the device information), the four stored DPI levels (bytes 15-18,
// slider 0 .. information byte 12, label base + position x step), their
// colours (bytes 21-32) and the active level in red (byte 19; above 5
// counts as level 1).
//
// Edits: a DPI slider released stores its position, marks the mouse's
// settings pending (the 100 ms send) and saves the light and device
// profiles; while it is dragged only its label follows. The value of levels
// 1-4 can be typed: leaving the field takes the nearest position the mouse
// has and stores it as a release does. The scale beside every slider shows
// the DPI base and the DPI of the highest position the mouse reports (what
// the slider reaches). A DPI colour comes
// from the palette (device profile saved). The report rate is stored, saved
// in the light profile and sent at once on the device's queue (the
// whole record in one frame, as a profile selection sends it; the timed
// send never writes it). When the mouse does not take it the page says so
// (the note clears at the next refresh, which shows the mouse's own rate).
//
// Pointer speed (1-20, slider position p gives (max(p, 0) + 1) x 2) and
// wheel lines (1-100) belong to the desktop: they are stored in the image
// (saved with the profiles) and applied by a worker off the UI thread
// (platform/desktop_pointer). Where the desktop has no such setting the
// control is disabled and says so. At start both controls stay disabled
// (neither note shown: not yet known) until the desktop's answer, read on
// the applier's worker, comes back; then the slider shows the desktop's
// own speed and the edit its wheel lines.
//
// Restore defaults: pointer speed 10 (slider 4) and 3 wheel lines, in the
// image and the saved profiles as on screen and on the desktop; then Reset
// to defaults (command 13) to the mouse, and the whole mouse is read again
// (the window's read message), so the page shows the defaults and no later
// send writes the old record back.
//
// The sensor height slider has no stored value and no device meaning: the
// layout keeps it hidden. Levels 5 and 6 have no stored value (the mouse
// keeps four levels): the layout hides their rows; their labels still
// follow their sliders.
//
// UI thread only.

#include <functional>
#include <memory>

#include "pages/control_names.h"
#include "pages/page.h"
#include "ui/core/edit.h"
#include "ui/core/label.h"
#include "ui/core/progress.h"
#include "platform/desktop_pointer/desktop_applier.h"

namespace trx::pages {

class CMousePerformancePage : public CPage {
 public:
  explicit CMousePerformancePage(PageContext& context);
  ~CMousePerformancePage() override;
  void Bind(CRouter& router) override;
  ControlBindings Bindings() override;
  void OnWindowInit() override;
  void Refresh(DeviceKind kind) override;
  // A selected or restored profile's pointer speed (1-20) and wheel lines
  // (1-100): shown on the page and applied to the desktop.
  void ShowAndApplyPointer(int speed, int lines);
  // Asks the desktop, on the applier's worker, what it has and its current
  // values; `post` takes the call that shows the answer to the UI thread
  // (false: dropped, the window is closing).
  void ReadDesktopPointer(std::function<bool(std::function<void()>)> post);
  // The desktop's answer on the controls.
  void ShowDesktopPointer(const desktop::DesktopPointerState& state);
  // The desktop's answer has been shown.
  bool PointerSettingsKnown() const { return pointer_known_; }

 private:
  // The DPI levels' controls ("ms_dpi<level>...", level 1-6), then the
  // report rate, pointer speed and wheel rows.
  struct DpiRow {
    Handle<ui::CSliderUI> slider;
    Handle<ui::CLabelUI> value, rank;  // value: an edit for levels 1-4
    Handle<> min, max;
    Handle<> colour;  // levels 1-4
  };
  struct Ui {
    DpiRow dpi[names::kDpiLevelCount];
    Handle<ui::CComboUI> report_rate;
    Handle<> report_rate_note;
    Handle<ui::CSliderUI> pointer_speed;
    Handle<> pointer_speed_range, pointer_speed_note;
    Handle<ui::CEditUI> wheel_lines;
    Handle<> wheel_up, wheel_down, wheel_note;
  };
  const DpiRow& Dpi(int level) const { return ui_.dpi[level - 1]; }
  void RefreshDpi();
  void ShowDpiLabel(int level, int position);
  void HighlightActiveLevel(int active);
  void DpiSliderReleased(int level);
  void DpiSliderMoved(int level);
  void DpiTyped(int level);
  void PickDpiColour(ui::CControlUI* button, int level);
  void ReportRateSelected();
  void SendReportRate();
  void PointerSpeedReleased();
  void WheelLinesStep(bool up);
  void WheelLinesTyped();
  void WheelLinesCommitted();
  void RestoreMouseDefaults();
  void ShowPointerSpeed(int speed);
  void ShowPointerPending();
  void SetWheelLines(int lines, bool save_light_too);
  desktop::CDesktopApplier& Applier();

  std::unique_ptr<desktop::CDesktopApplier> applier_;  // created on the first use
  bool pointer_known_ = false;
  bool applied_since_start_ = false;  // a profile's or the default values went to the desktop
  Ui ui_;
};

}  // namespace trx::pages
