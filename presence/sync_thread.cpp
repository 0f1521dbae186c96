// The two synchronisation threads: one routine parameterised by device.

#include <string>
#include <vector>

#include "device/hid_device.h"
#include "device/open_matching.h"
#include "platform/debug_log.h"
#include "presence/exit_lines.h"
#include "device/device_ids.h"
#include "presence/presence_messages.h"
#include "presence/presence_threads.h"
#include "presence/presence_wait.h"

namespace trx {
namespace {

constexpr uint16_t kSyncVendorId = kFamilyVendorId;
constexpr uint16_t kConsumerPage = kConsumerUsagePage;
constexpr uint16_t kConsumerControl = 0x01;

struct SyncRules {
  uint16_t product_id;
  uint32_t profile_changed_message;  // usage 0x401
  uint32_t read_all_message;         // usage 0x402
  bool lighting_refresh;             // usage 0x403 handled
  const char* exit_line;
};

constexpr SyncRules kMouseSync{kMouseProductId, kMsgMouseProfileChanged, kMsgMouseReadAll, true, kExitMouseSync};
constexpr SyncRules kKeyboardSync{kKeyboardProductId, kMsgKeyboardProfileChanged, kMsgKeyboardReadAll, false, kExitKeyboardSync};

// The first usage of the first input element of a decoded report, 0 when
// there is none.
uint16_t FirstUsage(const std::vector<HidReportElement>& elements) {
  if (elements.empty()) return 0;
  const HidReportElement& first = elements.front();
  if (!first.is_button || first.usage_list.empty()) return 0;
  return first.usage_list.front();
}

void Dispatch(IPresenceHost& host, const SyncRules& rules, uint16_t usage) {
  if (usage == kUsageOnboardProfileChanged) host.SendReadMessage(rules.profile_changed_message);
  else if (usage == kUsageDeviceSettingsChanged) host.SendReadMessage(rules.read_all_message);
  else if (usage == kUsageLightingChanged && rules.lighting_refresh) host.RequestLightingRefresh();
}

enum class ListenEnd { kStopped, kLost };

// Reads notifications until the stop event is set or the device goes.
// read_timeout_ms: how long a read waits before the path is probed; a node
// that reports its own hang-up needs no probing between reports.
ListenEnd Listen(IPresenceHost& host, const SyncRules& rules, CHidDevice& hid, CEvent& stop, int read_timeout_ms) {
  // The thread owns the record alone; reading on its connection with the
  // thread's own stop event ends a long read at once when stopping.
  const std::shared_ptr<IHidConnection> connection = hid.SharedConnection();
  if (!connection) return ListenEnd::kLost;
  for (;;) {
    // The thread's exit line is written once, when the routine ends.
    if (stop.IsSet()) return ListenEnd::kStopped;
    size_t got = 0;
    const HidIo io =
        connection->Read(hid.input_report_buffer.data(), hid.input_report_buffer.size(), read_timeout_ms, stop, got);
    if (io != HidIo::Ok) {
      // A timeout only means the user did nothing; anything else (the node
      // hung up, a read error) ends this connection so that it is reopened.
      if ((io == HidIo::Timeout || io == HidIo::Stopped) && hid.Probe(hid.device_path)) continue;
      return ListenEnd::kLost;
    }
    if (!DecodeInputUsages(hid.input_elements, hid.input_report_buffer.data(), got, hid.descriptor)) continue;
    Dispatch(host, rules, FirstUsage(hid.input_elements));
  }
}

int RunSync(const SyncRules& rules, const PresenceThreadParam& param) {
  IPresenceHost& host = *param.host;
  CEvent& stop = *param.stop;
  CHidDevice hid(param.backend);
  PresenceWait wait(hid.Backend());
  while (!stop.Wait(kPresenceCycleWaitMs)) {
    hid.scan_position = 0;
    InterfaceWanted wanted;
    wanted.listed = [&rules](const std::string& path) {
      return ParsePathVendorId(path) == kSyncVendorId && ParsePathProductId(path) == rules.product_id;
    };
    wanted.matches = [&rules](const CHidDevice& h) {
      return h.attributes.vendor_id == kSyncVendorId && h.attributes.product_id == rules.product_id &&
             h.capabilities.usage_page == kConsumerPage && h.capabilities.usage == kConsumerControl;
    };
    wanted.want_write = false;
    const OpenMatch opened = OpenMatchingInterface(hid, wanted);
    if (opened == OpenMatch::ListFailed) {
      DebugLine("hid: interface listing failed, device synchronisation ends");
      break;
    }
    bool lost = false;
    if (opened == OpenMatch::Opened) {
      const std::shared_ptr<IHidConnection> connection = hid.SharedConnection();
      const bool reports_hang_up = wait.EventDriven() && connection && connection->HangUpFd() >= 0;
      lost = Listen(host, rules, hid, stop, reports_hang_up ? kSyncHangUpReadTimeoutMs : kSyncReadTimeoutMs) ==
             ListenEnd::kLost;
      hid.Close();
    }
    if (lost) stop.Wait(kSyncGoneSleepMs);
    else wait.WhileAbsent(stop, kPresenceAbsentSleepMs);
  }
  DebugLine(rules.exit_line);
  return 0;
}

}  // namespace

int MouseSyncThread(PresenceThreadParam param) { return RunSync(kMouseSync, param); }
int KeyboardSyncThread(PresenceThreadParam param) { return RunSync(kKeyboardSync, param); }

}  // namespace trx
