#include "app/start_order.h"

#include "app/app_messages.h"
#include "app/lighting_preview_host.h"
#include "app/worker_threads.h"

namespace trx::app {

void RunStartOrder(const StartSteps& steps) {
  steps.apply_stored_skin();
  steps.load_profiles();
  steps.reset_channels();
  steps.store_machine_language();
  steps.hide();
  steps.start_program_links();
  steps.start_session_bus();
  for (int slot : kStartOrderBeforeTimer) steps.start_worker(slot);
  steps.open_send_timer();
  for (int slot : kStartOrderAfterTimer) steps.start_worker(slot);
  if (steps.presence_threads) steps.set_timer(kTimerPreviewFrame, kPreviewFramePeriodMs);
  if (steps.presence_threads && steps.access_help) steps.start_access_check();
  if (steps.openrgb_stored_on()) steps.start_openrgb();
  steps.reload_language();
}

}  // namespace trx::app
