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
  const foreground::ForegroundResult front = param.source->Current();
  if (front.status == foreground::ForegroundStatus::Unknown) DebugLine(kDebugForegroundUnreadable);
  const bool program = front.status == foreground::ForegroundStatus::Program;
  const std::string in_front = program ? front.program.path : std::string();
  LinkMonitorState once;
  LinkMonitorState& state = param.state != nullptr ? *param.state : once;
  if (!state.seen || state.front != in_front) {
    state.seen = true;
    state.front = in_front;
    state.pending = true;
  }
  LinkCycleResult result;
  if (!state.pending) return result;  // nothing read while the program in front stays

  const ProfileFamilyInfo& info = *param.family;
  result.index = SelectedProfileIndex(info);
  if (program) {
    const int linked = FindLinkedProfile(ReadProgramLinks(info, ProfileCount(info)), in_front);
    if (linked >= 0) {
      result.index = linked;
      result.linked = true;
    }
  }
  result.acted = true;
  result.select = param.selector->SelectLinkedProfile(info, result.index);
  if (result.select == LinkSelectResult::Gone) return result;
  // Not connected and read yet, or refused: the next cycle asks again.
  state.pending = result.select == LinkSelectResult::NotReady || result.select == LinkSelectResult::Failed;
  if (result.select == LinkSelectResult::Selected) param.stop->Wait(kLinkSettleMs);
  return result;
}

int LinkCycleWaitMs(bool hears_changes, bool pending, LinkSelectResult last) {
  if (!hears_changes) return kLinkCycleMs;
  return !pending || last == LinkSelectResult::NotReady ? kLinkQuietCycleMs : kLinkCycleMs;
}

int LinkMonitorThread(LinkMonitorParam param) {
  const char* exit_line = LinkMonitorExitLine(param.family->kind, param.family->family);
  LinkMonitorState state;
  if (param.state == nullptr) param.state = &state;
  while (!param.stop->IsSet()) {
    // Counted before the cycle reads the program in front: a change while
    // it selects ends the wait at once instead of a cycle later.
    const uint64_t seen = param.source->ChangesHeard();
    const LinkSelectResult select = RunLinkCycle(param).select;
    if (select == LinkSelectResult::Gone) break;
    const int wait_ms = LinkCycleWaitMs(param.source->HearsChanges(), param.state->pending, select);
    if (param.source->WaitForChangeSince(seen, *param.stop, wait_ms)) break;
  }
  DebugLine(exit_line != nullptr ? exit_line : "program link thread ended");
  return 0;
}

}  // namespace trx
