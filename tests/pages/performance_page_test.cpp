// The mouse's performance page over its layout with a simulated mouse and a
// stand-in desktop.

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>

#include "device/commands.h"
#include "pages/control_names.h"
#include "pages/mouse_performance_page.h"
#include "settings/record_apply.h"
#include "tests/pages/page_fixture.h"
#include "ui/core/label.h"

namespace trx::pages::testing {
namespace {

using desktop::DesktopResult;

class FakeDesktop : public desktop::IDesktopPointer {
 public:
  const char* Name() const override { return "fake"; }
  bool HasPointerSpeed() override { return has_speed; }
  bool HasWheelLines() override { return has_lines; }
  DesktopResult SetPointerSpeed(int speed) override { return Record("speed " + std::to_string(speed), has_speed); }
  DesktopResult GetPointerSpeed(int* speed) override { *speed = desktop_speed; return Answer(has_speed); }
  DesktopResult SetWheelLines(int lines) override { return Record("lines " + std::to_string(lines), has_lines); }
  DesktopResult GetWheelLines(int* lines) override { *lines = 7; return Answer(has_lines); }
  // The applier's worker applies the newest request of each setting (older
  // waiting ones are dropped): waits until `call` is the last one made and
  // returns the calls so far (the wait's bound is a safety net, not a timing).
  std::vector<std::string> WaitLast(const std::string& call) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait_for(lock, std::chrono::seconds(20), [&] { return !calls.empty() && calls.back() == call; });
    return calls;
  }
  // Waits until both calls were made, in any order.
  bool WaitBoth(const std::string& a, const std::string& b) {
    std::unique_lock<std::mutex> lock(mutex);
    auto has = [&](const std::string& c) { return std::find(calls.begin(), calls.end(), c) != calls.end(); };
    return changed.wait_for(lock, std::chrono::seconds(20), [&] { return has(a) && has(b); });
  }
  bool has_speed = true;
  bool has_lines = true;
  int desktop_speed = 14;

 private:
  DesktopResult Record(std::string call, bool available) {
    std::lock_guard<std::mutex> lock(mutex);
    calls.push_back(std::move(call));
    changed.notify_all();
    return Answer(available);
  }
  static DesktopResult Answer(bool available) { return available ? DesktopResult::Ok : DesktopResult::NotAvailable; }
  std::mutex mutex;  // guards calls
  std::condition_variable changed;
  std::vector<std::string> calls;
};

class PerformancePageTest : public SimPageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    SetProfileSaver(&saver);
    desktop::SetDesktopPointer(&fake_desktop);
    AttachSimulator();
    SetImage(0x3360, 100, 119, {15, 7, 0, 119});
  }
  void SetImage(uint16_t sensor, uint8_t step, uint8_t max_position, std::array<uint8_t, 4> levels) {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    MouseConfigImage& m = Images().mouse;
    m.device_info[kInfoSensorId] = sensor & 0xFF;
    m.device_info[kInfoSensorId + 1] = sensor >> 8;
    m.device_info[kInfoDpiStep] = step;
    m.device_info[kInfoDpiMaxPosition] = max_position;
    std::copy(levels.begin(), levels.end(), m.current + kRecDpiLevels);
    const uint8_t colours[12] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0x12, 0x34, 0x56};
    std::copy(std::begin(colours), std::end(colours), m.current + kRecDpiColours);
  }
  void BuildPage() {
    Build("Mouse_DPI.xml");
    UseSimulatedDevices(false);
    pages->OnWindowInit();
    // The desktop's answer comes from the applier's worker; shown here.
    std::promise<std::function<void()>> post;
    std::future<std::function<void()>> posted = post.get_future();
    pages->MousePerformance().ReadDesktopPointer([&](std::function<void()> call) { post.set_value(std::move(call)); return true; });
    ASSERT_EQ(posted.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_FALSE(Find("ms_point_speed_slider")->IsEnabled());  // not yet known
    posted.get()();
    saver.saves.clear();
  }
  uint8_t Record(size_t i) { return WithImage([i](ConfigImages& im) { return im.mouse.current[i]; }); }
  UiColor TextColour(const std::string& name) { return dynamic_cast<CLabelUI*>(Find(name))->GetTextColor(); }

  FakeDesktop fake_desktop;
};

TEST_F(PerformancePageTest, RefreshShowsTheSensorRangeLevelsColoursBaseAndTheActiveLevel) {
  // The base is written into the device information.
  struct Case { uint16_t sensor; uint8_t step; const char *min, *max; uint16_t base; const char* level1; };
  const Case cases[] = {
      // The scale: the base and what the slider reaches (position 60).
      {0x1234, 10, "400", "1000", 400, "550"},  // unknown: the device's base kept
      {0x3360, 100, "100", "6100", 100, "1600"},  // position 15
      {0x3325, 50, "200", "3200", 200, "950"},
      {0x3050, 50, "250", "3250", 250, "1000"},
      {0x3310, 50, "50", "3050", 50, "800"},
  };
  BuildPage();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sensor);
    SetImage(c.sensor, c.step, 60, {15, 7, 0, 60});
    WithImage([&](ConfigImages& images) { images.mouse.SetDpiBase(400); });
    pages->Refresh(DeviceKind::Mouse);
    EXPECT_EQ(Text("ms_DPI1_label_value"), c.level1);
    for (int n = 1; n <= 6; ++n) {
      EXPECT_EQ(Text("ms_DPI" + std::to_string(n) + "_min"), c.min);
      EXPECT_EQ(Text("ms_DPI" + std::to_string(n) + "_max"), c.max);
    }
    EXPECT_EQ(WithImage([](ConfigImages& i) { return i.mouse.DpiBase(); }), c.base);
  }
  EXPECT_EQ(Slider("ms_DPI4_slider")->GetMaxValue(), 60);
  EXPECT_EQ(Slider("ms_DPI6_slider")->GetMaxValue(), 60);  // 119 in the layout, clamped to the device's
  EXPECT_EQ(Text("ms_DPI6_label_value"), "3050");          // 50 + 60 x 50
  EXPECT_EQ(Slider("ms_DPI4_slider")->GetValue(), 60);
  EXPECT_EQ(Find("ms_DPIcolor_btn_1")->GetBkColor(), 0xFFFF0000u);
  EXPECT_EQ(Find("ms_DPIcolor_btn_4")->GetBkColor(), 0xFF123456u);
  // A keyboard refresh leaves the page alone.
  SetImage(0x3360, 100, 119, {1, 1, 1, 1});
  pages->Refresh(DeviceKind::Keyboard);
  EXPECT_EQ(Text("ms_DPI1_label_value"), "800");
  // The active level is red; an unknown level shows level one.
  for (auto [byte19, red] : {std::pair{2, 3}, {5, 6}, {0, 1}, {7, 1}}) {
    WithImage([&](ConfigImages& images) { images.mouse.current[kRecCurrentDpiLevel] = static_cast<uint8_t>(byte19); });
    pages->Refresh(DeviceKind::Mouse);
    for (int n = 1; n <= 6; ++n) {
      const UiColor want = n == red ? 0xFFFF0000u : 0xFFFFFFFFu;
      EXPECT_EQ(TextColour("ms_DPI" + std::to_string(n) + "_label_rank"), want) << byte19 << " " << n;
      EXPECT_EQ(TextColour("ms_DPI" + std::to_string(n) + "_label_value"), want) << byte19 << " " << n;
    }
  }
}

TEST_F(PerformancePageTest, FourLevelsShownAndATypedValueTakesTheNearestPosition) {
  BuildPage();
  pages->Refresh(DeviceKind::Mouse);  // sensor 0x3360: base 100, step 100, top 119
  for (int n = 1; n <= 6; ++n)
    EXPECT_EQ(Find("ms_DPI" + std::to_string(n) + "_slider")->IsVisible(), n <= 4) << n;
  struct Case { const char *typed, *shown; uint8_t position; };
  const Case cases[] = {{"1649", "1600", 15}, {"1650", "1700", 16}, {"50", "100", 0}, {"99999", "12000", 119}, {"", "12000", 119}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    sim_devices->pending.clear();
    Find("ms_DPI3_label_value")->SetText(c.typed);
    Notify("ms_DPI3_label_value", "killfocus");
    EXPECT_EQ(Text("ms_DPI3_label_value"), c.shown);
    EXPECT_EQ(Slider("ms_DPI3_slider")->GetValue(), c.position);
    EXPECT_EQ(Record(kRecDpiLevels + 2), c.position);
    EXPECT_EQ(sim_devices->pending.size(), c.typed[0] != 0 ? 1u : 0u);
  }
}

TEST_F(PerformancePageTest, DraggingMovesOnlyTheLabelAndReleaseStoresAndSends) {
  BuildPage();
  pages->Refresh(DeviceKind::Mouse);
  Slider("ms_DPI2_slider")->SetValue(20);
  Notify("ms_DPI2_slider", "movevaluechanged");
  EXPECT_EQ(Text("ms_DPI2_label_value"), "2100");
  EXPECT_EQ(Record(16), 7);
  EXPECT_TRUE(sim_devices->pending.empty());

  Notify("ms_DPI2_slider", "valuechanged");
  EXPECT_EQ(Record(16), 20);
  EXPECT_EQ(sim_devices->pending, (std::vector<DeviceKind>{DeviceKind::Mouse}));
  EXPECT_EQ(saver.saves, (std::vector<std::string>{"mouse 1", "mouse 0"}));

  // Level 6 stores nothing; its label follows.
  Slider("ms_DPI6_slider")->SetValue(9);
  Notify("ms_DPI6_slider", "valuechanged");
  EXPECT_EQ(Text("ms_DPI6_label_value"), "1000");
  EXPECT_EQ(sim_devices->pending.size(), 1u);
}

// The whole record in one frame; the note appears only when the mouse refuses it.
TEST_F(PerformancePageTest, ReportRateGoesToTheMouseAtOnce) {
  firmware->SetSettingsByte(14, 3);
  BuildPage();
  pages->Refresh(DeviceKind::Mouse);
  Slider("ms_DPI1_slider")->SetValue(30);
  Notify("ms_DPI1_slider", "valuechanged");  // waiting for the timed send
  saver.saves.clear();
  auto* combo = Combo("ms_report_fct_combo");
  combo->SelectItem(1);  // raises "itemselect"
  EXPECT_EQ(Record(kRecReportRate), 1);
  EXPECT_EQ(saver.saves, (std::vector<std::string>{"mouse 1"}));
  EXPECT_EQ(firmware->Settings()[14], 1);
  EXPECT_EQ(firmware->Settings()[15], 30);  // the pending edit went with it
  EXPECT_FALSE(Visible("ms_report_rate_note"));

  sim::SimFaults refusing;
  refusing.status_count = 100;  // every request answered "bad request"
  firmware->SetFaults(refusing);
  combo->SelectItem(2);
  EXPECT_EQ(Record(kRecReportRate), 2);
  EXPECT_TRUE(Visible("ms_report_rate_note"));
  firmware->SetFaults({});
  pages->Refresh(DeviceKind::Mouse);  // a device read or profile selection
  EXPECT_FALSE(Visible("ms_report_rate_note"));
}

TEST_F(PerformancePageTest, PointerSpeedOfSliderPositionGoesToTheDesktop) {
  BuildPage();
  EXPECT_EQ(Slider("ms_point_speed_slider")->GetValue(), 6);  // desktop speed 14 shown at start
  EXPECT_EQ(Text("ms_gunlun_speed_edit"), "7");
  for (auto [position, call] : {std::pair{9, "speed 20"}, {0, "speed 2"}}) {
    Slider("ms_point_speed_slider")->SetValue(position);
    Notify("ms_point_speed_slider", "valuechanged");
    EXPECT_EQ(fake_desktop.WaitLast(call).back(), call);
  }
  WithImage([](ConfigImages& i) { EXPECT_EQ(i.mouse.pointer_speed, 2); });
}

TEST_F(PerformancePageTest, WheelLinesStepAndTypingClamp) {
  BuildPage();
  struct Case { const char *text, *button, *shown; };
  const Case steps[] = {
      {"100", "ms_gunlun_speed_up_btn", "100"}, {"1", "ms_gunlun_speed_down_btn", "1"},
      {"150", "ms_gunlun_speed_down_btn", "99"}, {"0", "ms_gunlun_speed_up_btn", "2"},
      {"3", "ms_gunlun_speed_up_btn", "4"},
  };
  for (const Case& c : steps) {
    Find("ms_gunlun_speed_edit")->SetText(c.text);
    Notify(c.button, "click");
    EXPECT_EQ(Text("ms_gunlun_speed_edit"), c.shown) << c.text << " " << c.button;
  }
  EXPECT_EQ(fake_desktop.WaitLast("lines 4").back(), "lines 4");
  WithImage([&](ConfigImages& images) { EXPECT_EQ(images.mouse.wheel_lines, 4); });
  // Typing clamps the text and stores nothing; leaving the edit stores it.
  for (auto [typed, shown] : {std::pair{"250", "100"}, {"0", "1"}, {"", ""}, {"42", "42"}}) {
    Type("ms_gunlun_speed_edit", typed);
    EXPECT_EQ(Text("ms_gunlun_speed_edit"), shown) << typed;
  }
  saver.saves.clear();
  Notify("ms_gunlun_speed_edit", "killfocus");
  EXPECT_EQ(saver.saves, (std::vector<std::string>{"mouse 0"}));
  Find("ms_gunlun_speed_edit")->SetText("");
  Notify("ms_gunlun_speed_edit", "killfocus");  // emptied: the stored value comes back
  EXPECT_EQ(Text("ms_gunlun_speed_edit"), "42");
  EXPECT_EQ(fake_desktop.WaitLast("lines 42").back(), "lines 42");
}

// The layout holds every control the page uses; the sensor height has no
// stored value and no device meaning: hidden.
TEST_F(PerformancePageTest, SettingsTheDesktopLacksAreDisabledAndSaySo) {
  fake_desktop.has_lines = false;
  BuildPage();
  for (const char* name : names::kPerformanceNames) Find(name);
  EXPECT_FALSE(Visible("ms_sensor_height_box"));
  EXPECT_TRUE(Find("ms_point_speed_slider")->IsEnabled());
  EXPECT_FALSE(Visible("ms_point_speed_note"));
  EXPECT_FALSE(Find("ms_gunlun_speed_edit")->IsEnabled());
  EXPECT_FALSE(Find("ms_gunlun_speed_up_btn")->IsEnabled());
  EXPECT_FALSE(Visible("ms_gunlun_speed_edit"));
  EXPECT_TRUE(Visible("ms_gunlun_speed_note"));

  fake_desktop.has_speed = false;
  BuildPage();
  EXPECT_FALSE(Find("ms_point_speed_slider")->IsEnabled());
  EXPECT_TRUE(Visible("ms_point_speed_note"));
  EXPECT_FALSE(Visible("ms_point_speed_range"));
}

TEST_F(PerformancePageTest, RestoreDefaultsShowsStoresAndAppliesTenAndThreeThenResetsTheMouse) {
  BuildPage();
  firmware->ClearRequests();
  Notify("ms_one_profile_default", "click");
  EXPECT_EQ(Slider("ms_point_speed_slider")->GetValue(), 4);  // (4 + 1) x 2 = 10
  EXPECT_EQ(Text("ms_gunlun_speed_edit"), "3");
  WithImage([](ConfigImages& i) { EXPECT_EQ(i.mouse.pointer_speed, 10); EXPECT_EQ(i.mouse.wheel_lines, 3); });
  EXPECT_EQ(saver.saves, (std::vector<std::string>{"mouse 1", "mouse 0"}));
  EXPECT_TRUE(fake_desktop.WaitBoth("speed 10", "lines 3"));
  bool reset_sent = false;
  for (const auto& frame : firmware->Requests()) reset_sent |= frame[3] == kCmdResetDefaults;
  EXPECT_TRUE(reset_sent);
}

}  // namespace
}  // namespace trx::pages::testing
