#include "app/linked_select.h"

#include <string>
#include <vector>

#include "app/program_bus.h"
#include "bus/bus_names.h"
#include "pages/page_set.h"
#include "pages/profile_bar.h"
#include "pages/profile_link_page.h"
#include "platform/debug_log.h"
#include "profile/effective_profile.h"
#include "profile/profile_operations.h"

namespace trx::app {
namespace {

LinkSelectResult SelectOnQueue(const LinkedSelectWiring& w, const ProfileFamilyInfo& family, int index) {
  if (w.stopping()) return LinkSelectResult::Gone;
  CDeviceChannel& channel = w.channel(family.kind);
  // Only a connected device whose connect read is done; otherwise the next
  // cycle asks again.
  if (channel.connected.load() == 0 || !channel.ready.load()) return LinkSelectResult::NotReady;
  if (EffectiveProfileIndex(family) == index) return LinkSelectResult::AlreadySelected;
  pages::CPageSet* pages = w.pages;
  IProfileSelectTarget* target = &pages->ProfileSelectTarget();
  const DeviceKind kind = family.kind;
  const ProfileFamily fam = family.family;
  const OperationOutcome outcome = w.queue(kind).RunAndWait(
      Operation(
          "linked select",
          [kind, fam, index, target](OperationContext&) {
            const ProfileOpResult r = SelectProfile(kind, fam, index, *target, SelectBy::Link);
            if (r != ProfileOpResult::Ok)
              DebugLineF("program link: select of profile %d failed (%s)", index, ProfileOpResultName(r));
            // An index the list does not have (an INI file edited by hand)
            // selects nothing, as selecting a missing item does nothing.
            return r == ProfileOpResult::Ok              ? LinkSelectResult::Selected
                   : r == ProfileOpResult::NoSuchProfile ? LinkSelectResult::AlreadySelected
                                                         : LinkSelectResult::Failed;
          },
          [pages, kind, fam, index](const OperationOutcome& o) {
            if (!o.Ok()) return;
            pages->ProfileLinks().ShowLinkOfProfile(kind, fam, index);
            pages->ApplyProfileSelections();
          }),
      nullptr);
  if (outcome.status == OperationStatus::Stopped) return LinkSelectResult::Gone;
  if (outcome.status == OperationStatus::NotReady) return LinkSelectResult::NotReady;
  if (!outcome.Ok()) return outcome.result.As<LinkSelectResult>();
  const char* combo = pages::CProfileBar::ComboOf(kind, fam);
  DebugLineF("program link: %s profile %d selected", combo != nullptr ? combo : DeviceKindName(kind), index);
  return LinkSelectResult::Selected;
}

}  // namespace

LinkSelectResult SelectLinked(const LinkedSelectWiring& w, const ProfileFamilyInfo& family, int index) {
  const LinkSelectResult result = SelectOnQueue(w, family, index);
  CProgramBus* bus = w.bus ? w.bus() : nullptr;
  if (result == LinkSelectResult::Selected && bus != nullptr) {
    const std::vector<std::string> names = ProfileNames(family);
    bus->ProfileInEffect(family.kind,
                         family.family == ProfileFamily::Device  ? "device"
                         : family.family == ProfileFamily::Light ? "light"
                                                                 : "key",
                         index >= 0 && static_cast<size_t>(index) < names.size() ? names[static_cast<size_t>(index)] : "",
                         bus::kReasonProgramLink);
  }
  return result;
}

}  // namespace trx::app
