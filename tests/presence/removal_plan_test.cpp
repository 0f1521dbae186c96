// The removal rules: which tab takes over when a device goes, and when the
// window hides or the "all devices gone" notice follows.

#include <gtest/gtest.h>

#include "presence/presence_events.h"

namespace trx {
namespace {

struct Row {
  DeviceKind gone;
  bool mouse, keyboard, pad;  // still connected
  int select;                 // -1 none, else the DeviceKind value
  bool shown, notice, hide;
};

TEST(PresenceRemovalPlan, FollowsTheRulesForEveryDeviceAndSurvivorSet) {
  constexpr int K = static_cast<int>(DeviceKind::Keyboard), M = static_cast<int>(DeviceKind::Mouse),
                P = static_cast<int>(DeviceKind::MousePad);
  const Row rows[] = {
      {DeviceKind::Mouse, false, true, true, K, true, false, false},
      {DeviceKind::Mouse, false, true, false, K, true, false, false},
      {DeviceKind::Mouse, false, false, true, P, false, false, false},
      {DeviceKind::Mouse, false, false, false, -1, false, true, false},
      {DeviceKind::Keyboard, true, false, true, M, false, false, false},
      {DeviceKind::Keyboard, false, false, true, P, false, false, false},
      {DeviceKind::Keyboard, false, false, false, -1, false, false, true},
      {DeviceKind::MousePad, true, true, false, K, false, false, false},
      {DeviceKind::MousePad, true, false, false, M, false, false, false},
      {DeviceKind::MousePad, false, false, false, -1, false, false, true},
  };
  for (const Row& r : rows) {
    const RemovalPlan plan = PlanRemoval(r.gone, r.mouse, r.keyboard, r.pad);
    SCOPED_TRACE(std::string(DeviceKindName(r.gone)) + " " + std::to_string(r.mouse) + std::to_string(r.keyboard) +
                 std::to_string(r.pad));
    EXPECT_EQ(plan.gone, r.gone);
    EXPECT_EQ(plan.select ? static_cast<int>(*plan.select) : -1, r.select);
    EXPECT_EQ(plan.show_selected, r.shown);
    EXPECT_EQ(plan.all_gone_notice, r.notice);
    EXPECT_EQ(plan.hide_window, r.hide);
  }
}

}  // namespace
}  // namespace trx
