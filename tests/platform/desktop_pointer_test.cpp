// Pointer speed and wheel lines: the 1-20 <-> -1..1 mapping, the backend for
// a session, GSettings on GIO's memory backend, X11 without libinput pointers.

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "platform/desktop_pointer/gsettings_pointer.h"
#include "platform/desktop_pointer/session.h"
#include "platform/desktop_pointer/x11_pointer.h"

namespace trx::desktop {
namespace {

// GIO's memory settings backend (picked at first use): the user's settings stay untouched.
const bool kMemoryBackend = setenv("GSETTINGS_BACKEND", "memory", 1) == 0;

TEST(DesktopPointerMapping, SpeedToTheDesktopScaleAndBack) {
  const std::pair<int, double> cases[] = {{1, -1.0}, {4, -6.0 / 9}, {10, 0.0}, {12, 0.2}, {15, 0.5}, {20, 1.0}};
  for (const auto& [speed, unit] : cases) {
    EXPECT_DOUBLE_EQ(SpeedToUnit(speed), unit) << speed;
    EXPECT_EQ(SpeedFromUnit(unit), speed) << unit;
  }
  // Out of range is clamped; between two speeds the nearer one wins.
  EXPECT_DOUBLE_EQ(SpeedToUnit(0), -1.0);
  EXPECT_DOUBLE_EQ(SpeedToUnit(25), 1.0);
  EXPECT_EQ(SpeedFromUnit(-3.0), 1);
  EXPECT_EQ(SpeedFromUnit(1.5), 20);
  EXPECT_EQ(SpeedFromUnit(0.26), 13);
  EXPECT_EQ(SpeedFromUnit(-0.4), 6);
  EXPECT_EQ(SpeedFromUnit(std::nan("")), 10);
  for (int s = kPointerSpeedMin; s <= kPointerSpeedMax; ++s) EXPECT_EQ(SpeedFromUnit(SpeedToUnit(s)), s) << s;
}

TEST(DesktopPointerSession, NoSettingOnAnUnknownWaylandSession) {
  auto pointer = OpenDesktopPointer({"KDE", false, true});
  EXPECT_STREQ(pointer->Name(), "none");
  int v = 0;
  EXPECT_EQ(pointer->SetPointerSpeed(10), DesktopResult::NotAvailable);
  EXPECT_EQ(pointer->GetWheelLines(&v), DesktopResult::NotAvailable);
  EXPECT_STREQ(OpenDesktopPointer({"GNOME", false, true})->Name(), "gsettings");
  for (const char* yes : {"GNOME", "ubuntu:GNOME", "Budgie:GNOME", "Unity", "pantheon"})
    EXPECT_TRUE(IsGSettingsDesktop(yes)) << yes;
  for (const char* no : {"", "KDE", "XFCE", "X-Cinnamon", "sway", "GNOMEish"}) EXPECT_FALSE(IsGSettingsDesktop(no)) << no;
}

TEST(GSettingsPointer, WritesTheGnomeSpeedKeyAndReadsItBack) {
  ASSERT_TRUE(kMemoryBackend);
  auto pointer = CGSettingsPointer::Open();
  ASSERT_NE(pointer, nullptr) << "the schema " << kGnomeMouseSchema << " is not installed (gsettings-desktop-schemas)";
  GSettings* direct = g_settings_new(kGnomeMouseSchema);
  for (auto [speed, unit] : {std::pair{20, 1.0}, {1, -1.0}, {10, 0.0}, {15, 0.5}}) {
    EXPECT_EQ(pointer->SetPointerSpeed(speed), DesktopResult::Ok);
    EXPECT_DOUBLE_EQ(g_settings_get_double(direct, kGnomeSpeedKey), unit) << speed;
  }
  ASSERT_TRUE(g_settings_set_double(direct, kGnomeSpeedKey, -0.4));
  int speed = 0;
  EXPECT_EQ(pointer->GetPointerSpeed(&speed), DesktopResult::Ok);
  EXPECT_EQ(speed, 6);
  // GNOME has no wheel-lines setting: never a fake success.
  EXPECT_FALSE(pointer->HasWheelLines());
  EXPECT_EQ(pointer->SetWheelLines(3), DesktopResult::NotAvailable);
  g_object_unref(direct);
}

TEST(X11Pointer, ServerWithoutLibinputPointersHasNoSpeed) {
  if (std::getenv("DISPLAY") == nullptr) {
    if (std::getenv("TRX770_REQUIRE_DISPLAY") != nullptr) FAIL() << "no DISPLAY under xvfb-run";
    GTEST_SKIP() << "no X display (the xvfb-run variant of this test runs it)";
  }
  auto pointer = CX11Pointer::Open();
  ASSERT_NE(pointer, nullptr);
  EXPECT_FALSE(pointer->HasPointerSpeed());
  int speed = 0;
  EXPECT_EQ(pointer->SetPointerSpeed(10), DesktopResult::NotAvailable);
  EXPECT_EQ(pointer->GetPointerSpeed(&speed), DesktopResult::NotAvailable);
  EXPECT_EQ(pointer->SetWheelLines(3), DesktopResult::NotAvailable);
  EXPECT_STREQ(OpenDesktopPointer({"", true, false})->Name(), "x11");
}

}  // namespace
}  // namespace trx::desktop
