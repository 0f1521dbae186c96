#pragma once
// CDPI: the DPI object of a paint manager. Holds the process awareness mode
// (stored; Qt scales on its own) and the current DPI from which the scale
// factor is derived. UI thread only.

namespace trx::ui {

enum DpiAwareness { PROCESS_DPI_UNAWARE = 0, PROCESS_SYSTEM_DPI_AWARE = 1, PROCESS_PER_MONITOR_DPI_AWARE = 2 };

class CDPI {
 public:
  bool SetDPIAwareness(int awareness);  // false for values outside 0..2
  int GetDPIAwareness() const { return awareness_; }
  void SetScale(int dpi);               // 96 = 100 %; values <= 0 ignored
  int GetDPI() const { return dpi_; }
  int GetScale() const { return dpi_ * 100 / 96; }  // percent
  int Scale(int value) const { return value * dpi_ / 96; }

 private:
  int awareness_ = PROCESS_DPI_UNAWARE;
  int dpi_ = 96;
};

}  // namespace trx::ui
