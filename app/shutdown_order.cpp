#include "app/shutdown_order.h"

#include "app/app_messages.h"
#include "platform/debug_log.h"

namespace trx::app {

void RunShutdownOrder(const ShutdownSteps& steps) {
  DebugLine(kDebugShutdown);
  steps.mark_stopping();
  steps.stop_openrgb();
  steps.hide();
  steps.stop_queues();
  const StopResult result = steps.stop_workers();
  DebugLine(result == StopResult::AllEnded ? kDebugAllEnded : kDebugTimedOut);
  steps.stop_session_bus();
  steps.stop_timers();
  steps.post_quit();
}

void RunTeardownOrder(const TeardownSteps& steps) {
  steps.drop_tray_menu();
  steps.remove_input();
  steps.destroy_window_if_alive();  // nobody is asked any more
  steps.mark_stopping();
  steps.stop_openrgb();
  steps.stop_queues();  // the pages' completions refer to pages: none runs from here on
  steps.stop_workers();
  steps.detach_workers();
  steps.stop_program_links(steps.running_workers() == 0);
  if (steps.running_workers() == 0) steps.reset_channels();
  steps.unregister();
}

}  // namespace trx::app
