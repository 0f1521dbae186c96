#include "pages/onboard_strip.h"

#include "pages/control_names.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "settings/mouse_config_image.h"
#include "settings/onboard_profile.h"

namespace trx::pages {

void COnboardStrip::Bind(CRouter& router) {
  router.Add(Table::Click, {names::kMsProfilePrefix, Match::Prefix, [this](ui::TNotifyUI&, const NameSplit& split) {
                              if (split.index < 0 || split.index >= kOnboardProfileCount) return;
                              const int n = split.index;
                              ctx_.devices.Submit(DeviceKind::Mouse, Operation("onboard switch", [n](OperationContext& op) {
                                const int rc = SwitchOnboardProfile(op.Channel(), n);
                                if (rc != kSwitchDone && rc != kSwitchAlreadyActive)
                                  DebugLineF("onboard profile %d could not be made active: %s (%d)", n,
                                             OnboardSwitchResultName(rc), rc);
                                return rc == kSwitchDone || rc == kSwitchAlreadyActive ? 1 : rc;
                              }));
                            }});
}

}  // namespace trx::pages
