#include "profile/link_monitor.h"

#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "profile/profile_keys.h"
#include "profile/profile_store.h"
#include "profile/program_links.h"

namespace trx {
namespace {

struct MonitorRow {
  DeviceKind kind;
  ProfileFamily family;
  const char* exit_line;
};
constexpr MonitorRow kMonitors[kLinkMonitorCount] = {
    {DeviceKind::Keyboard, ProfileFamily::Light, "键盘灯光进程侦测线程设定退出"},
    {DeviceKind::Keyboard, ProfileFamily::Key, "键盘按键进程侦测线程设定退出"},
    {DeviceKind::Mouse, ProfileFamily::Device, "鼠标灯光进程侦测线程设定退出"},
    {DeviceKind::Mouse, ProfileFamily::Key, "鼠标按键进程线程设定退出"},
    {DeviceKind::MousePad, ProfileFamily::Light, "鼠标垫灯光进程侦测线程设定退出"},
};

const MonitorRow* FindMonitor(DeviceKind kind, ProfileFamily family) {
  for (const MonitorRow& row : kMonitors)
    if (row.kind == kind && row.family == family) return &row;
  return nullptr;
}

}  // namespace

const ProfileFamilyInfo& LinkMonitorFamily(int i) { return *FindFamily(kMonitors[i].kind, kMonitors[i].family); }

bool HasLinkMonitor(DeviceKind kind, ProfileFamily family) { return FindMonitor(kind, family) != nullptr; }

const char* LinkMonitorExitLine(DeviceKind kind, ProfileFamily family) {
  const MonitorRow* row = FindMonitor(kind, family);
  return row != nullptr ? row->exit_line : nullptr;
}

LinkCycleResult RunLinkCycle(const LinkMonitorParam& param) {
  const ProfileFamilyInfo& info = *param.family;
  const int count = ProfileCount(info);
  const foreground::ForegroundResult front = param.source->Current();
  if (front.status == foreground::ForegroundStatus::Unknown) DebugLine(kDebugForegroundUnreadable);
  const int user_choice = SelectedProfileIndex(info);

  LinkCycleResult result;
  result.index = user_choice;
  if (front.status == foreground::ForegroundStatus::Program) {
    const int linked = FindLinkedProfile(ReadProgramLinks(info, count), front.program.path);
    if (linked >= 0) {
      result.index = linked;
      result.linked = true;
    }
  }
  result.select = param.selector->SelectLinkedProfile(info, result.index);
  if (result.select == LinkSelectResult::Gone) return result;
  if (result.select == LinkSelectResult::Selected) param.stop->Wait(kLinkSettleMs);

  // Keep the user's choice in the file. A third value means the user chose
  // another profile during this cycle: that is the choice now.
  const int now = SelectedProfileIndex(info);
  if (now != user_choice && now == result.index &&
      !WritePrivateProfileString(info.select_section, kIniKeySelect, std::to_string(user_choice), ProfileIniPath(info.kind)))
    DebugLine("profile choice not written back");
  return result;
}

int LinkMonitorThread(LinkMonitorParam param) {
  const char* exit_line = LinkMonitorExitLine(param.family->kind, param.family->family);
  while (!param.stop->IsSet()) {
    if (RunLinkCycle(param).select == LinkSelectResult::Gone) break;
    if (param.stop->Wait(kLinkCycleMs)) break;
  }
  DebugLine(exit_line != nullptr ? exit_line : "program link thread ended");
  return 0;
}

}  // namespace trx
