#include "ui/window/custom_controls.h"

#include <new>

#include "ui/core/chart_view.h"
#include "ui/core/circle_progress.h"
#include "ui/core/control_factory.h"
#include "ui/window/wnd_ui.h"

namespace trx::ui {
namespace {

// Each creator returns a new control, or null when it cannot be allocated.
CControlUI* NewCircleProgress() { return new (std::nothrow) CCircleProgressUI(); }
CControlUI* NewChartView() { return new (std::nothrow) CChartViewUI(); }
CControlUI* NewWnd() { return new (std::nothrow) CWndUI(); }

}  // namespace

bool RegisterCustomControls() {
  CControlFactory* factory = CControlFactory::GetInstance();
  bool ok = factory->RegistControl(kCircleProgressClass, &NewCircleProgress);
  ok = factory->RegistControl(kChartViewClass, &NewChartView) && ok;
  ok = factory->RegistControl(kWndClass, &NewWnd) && ok;
  return ok;
}

}  // namespace trx::ui
