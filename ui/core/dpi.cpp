#include "ui/core/dpi.h"

namespace trx::ui {

bool CDPI::SetDPIAwareness(int awareness) {
  if (awareness < PROCESS_DPI_UNAWARE || awareness > PROCESS_PER_MONITOR_DPI_AWARE) return false;
  awareness_ = awareness;
  return true;
}

void CDPI::SetScale(int dpi) {
  if (dpi > 0) dpi_ = dpi;
}

}  // namespace trx::ui
