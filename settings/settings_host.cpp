#include "settings/settings_host.h"

#include <atomic>

namespace trx {
namespace {
std::atomic<ISettingsHost*> g_host{nullptr};
std::atomic<IProfileSaver*> g_saver{nullptr};
}  // namespace

void SetSettingsHost(ISettingsHost* host) { g_host.store(host); }
ISettingsHost* SettingsHost() { return g_host.load(); }
void SetProfileSaver(IProfileSaver* saver) { g_saver.store(saver); }
IProfileSaver* ProfileSaver() { return g_saver.load(); }

void MarkSettingsPending(DeviceKind kind) {
  if (ISettingsHost* host = SettingsHost()) host->MarkSettingsPending(kind);
}

}  // namespace trx
