#pragma once
// The program's own control classes, registered with the control factory
// under the class names layouts use: "CCircleProgressUI"
// (CCircleProgressUI), "CChartViewUI" (CChartViewUI) and "CWndUI" (CWndUI).
// Call once at start-up on the UI thread, after the skin folder is set.

namespace trx::ui {

inline constexpr const char* kCircleProgressClass = "CCircleProgressUI";
inline constexpr const char* kChartViewClass = "CChartViewUI";
inline constexpr const char* kWndClass = "CWndUI";

// Registers the three creators in that order; false when one was refused.
bool RegisterCustomControls();

}  // namespace trx::ui
