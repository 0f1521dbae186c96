// Start-up with a long profile index: the main window's creation and first
// paint ("windowinit", which fills the profile combos from the indexes),
// headless, with 1 profile per family as the baseline, then with 40,000
// device profiles, then with 40,000 in each of the mouse's three families.
// Prints the times and their ratios to the baseline. The 40,000-profile start must
// stay well under 1 s; before the combo appended in O(1) and the index was
// read in one pass it took over 10 s.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/main_wnd.h"
#include "platform/machine_store.h"
#include "platform/program_folder.h"
#include "profile/profile_families.h"
#include "tests/platform/temp_home.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/window/message_queue.h"
#include "ui/window/window_backend.h"

namespace {

using namespace trx;

// An index of the kind's families: `first` profiles in the device family,
// `others` in the light and key families.
void WriteIndex(DeviceKind kind, int first, int others) {
  std::string text;
  for (const char* family : {"DEVICE", "DENG", ""}) {
    const std::string f = family;
    const int count = f == "DEVICE" ? first : others;
    text += "[PROFILE" + f + "COUNT]\ncount=" + std::to_string(count) + "\n[PROFILE" + f + "SELECT]\nselect=0\n";
    text += "[PROFILE" + f + "NAME]\n";
    for (int i = 0; i < count; ++i) text += std::to_string(i) + "=profile" + std::to_string(i + 1) + "\n";
  }
  test::TempHome::WriteText(ProfileIniPath(kind), text);
}

// Milliseconds from creating the window to the end of its first paint.
double StartMs(int device_profiles, int other_profiles, int* items) {
  test::TempHome home;
  SetProgramFolderOverride(home.Path("program/"));
  SetMachineStorePath(home.Path("machine.ini"));
  WriteIndex(DeviceKind::Mouse, device_profiles, other_profiles);
  WriteIndex(DeviceKind::Keyboard, 1, 1);
  WriteIndex(DeviceKind::MousePad, 1, 1);

  ui::CMessageQueue& q = ui::CMessageQueue::Instance();
  q.ResetForTest();
  q.BindToCurrentThread();
  ui::SetHeadlessWorkArea({0, 0, 1920, 1040});
  ui::CPaintManagerUI::SetResourcePath(TRX770_BENCH_SKIN);
  ui::CResourceManager::GetInstance()->LoadResource("res.xml");
  app::RegisterInstanceMessage();

  app::MainWndOptions options;
  options.presence_threads = false;
  const auto start = std::chrono::steady_clock::now();
  auto window = std::make_unique<app::CMainWnd>(options);
  window->Create(nullptr, "TRX770", 0x96CA0000, 0, 0, 0, 800, 572);
  q.ProcessPending();  // the first paint: "windowinit"
  const auto end = std::chrono::steady_clock::now();
  *items = window->Pages().ProfileLists().ItemCount(DeviceKind::Mouse, ProfileFamily::Device);
  window->DestroyWindow();
  window.reset();
  q.ResetForTest();
  SetMachineStorePath("");
  SetProgramFolderOverride("");
  return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int profiles = argc > 1 ? std::atoi(argv[1]) : 40000;
  int items = 0;
  StartMs(1, 1, &items);  // warm-up: files, fonts, layouts cached
  const double base = StartMs(1, 1, &items);
  std::printf("start, 1 profile per family:                 %8.1f ms\n", base);
  const double one = StartMs(profiles, 1, &items);
  std::printf("start, %d device profiles:                %8.1f ms (%d items), ratio %.1f\n", profiles, one, items,
              base > 0 ? one / base : 0.0);
  const double three = StartMs(profiles, profiles, &items);
  std::printf("start, %d profiles in each mouse family:  %8.1f ms, ratio %.1f\n", profiles, three,
              base > 0 ? three / base : 0.0);
  return 0;
}
