#include "app/device_backup_menu.h"

#include <array>
#include <ctime>
#include <memory>

#include "backup/backup_store.h"
#include "backup/backup_texts.h"
#include "backup/device_backup.h"
#include "device/commands.h"
#include "platform/debug_log.h"
#include "platform/text_ids.h"
#include "ui/core/menu.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/window/file_dialog.h"

namespace trx::app {
namespace {

constexpr const char* kBackupItemPrefix = "devbackup_";
constexpr const char* kRestoreItemPrefix = "devrestore_";
constexpr const char* kBackupFilter = "(*.trxbak) | *.trxbak ||";
constexpr const char* kBackupDefaultExtension = "trxbak";
constexpr DeviceKind kMenuKinds[] = {DeviceKind::Mouse, DeviceKind::Keyboard, DeviceKind::MousePad};

std::string Text(std::string_view id) { return ui::CResourceManager::GetInstance()->GetText(id); }

// The language text `id` with each "%s" replaced by the next argument.
std::string Fill(std::string_view id, std::initializer_list<std::string> args) {
  std::string text = Text(id);
  size_t at = 0;
  for (const std::string& a : args) {
    at = text.find("%s", at);
    if (at == std::string::npos) break;
    text.replace(at, 2, a);
    at += a.size();
  }
  return text;
}

std::string FileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* DeviceNameId(DeviceKind kind) {
  return kind == DeviceKind::Mouse ? "device_name_mouse" : kind == DeviceKind::MousePad ? "device_name_pad"
                                                                                         : "device_name_keyboard";
}

std::string DefaultFileName(DeviceKind kind) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char date[16];
  std::strftime(date, sizeof date, "%Y%m%d", &tm);
  return std::string(DeviceKindName(kind)) + "-" + date + ".trxbak";
}

}  // namespace

void CDeviceBackupMenu::AddItems(ui::CMenuUI& menu) const {
  ui::CMenuUI* body = &menu;
  const int height = body->GetCount() > 0 ? body->GetItemAt(0)->GetFixedHeight() : 0;
  auto add = [&](const std::string& name, std::string_view text_id, bool enabled) {
    auto* item = new ui::CMenuElementUI();
    item->SetName(name);
    item->SetResourceText(true);
    item->SetText(std::string(text_id));
    item->SetEnabled(enabled);
    if (height > 0) item->SetFixedHeight(height);
    body->Add(item);
  };
  for (DeviceKind kind : kMenuKinds) {
    if (!w_.channel(kind)->connected.load()) continue;
    const std::string k = DeviceKindName(kind);
    // The device the two items below act on, as a heading.
    add("devname_" + k, std::string("menu_") + DeviceNameId(kind), false);
    add(kBackupItemPrefix + k, "menu_backup_device", true);
    add(kRestoreItemPrefix + k, "menu_restore_device", true);
  }
}

bool CDeviceBackupMenu::Run(const std::string& name) {
  const bool backup = name.rfind(kBackupItemPrefix, 0) == 0;
  if (!backup && name.rfind(kRestoreItemPrefix, 0) != 0) return false;
  const std::string k = name.substr(std::string(backup ? kBackupItemPrefix : kRestoreItemPrefix).size());
  for (DeviceKind kind : kMenuKinds) {
    if (k != DeviceKindName(kind)) continue;
    if (backup) StartBackup(kind);
    else StartRestore(kind);
  }
  return true;
}

void CDeviceBackupMenu::StartBackup(DeviceKind kind) {
  std::string path;
  if (!ui::ShowSaveFileDialog(w_.owner(), kBackupFilter, kBackupDefaultExtension, DefaultFileName(kind), &path)) return;
  std::shared_ptr<CDeviceChannel> channel = w_.channel(kind);
  // The whole backup is one device operation: it holds the channel from the
  // first read to the file.
  auto operation = [channel, path](IProgressReporter& progress) {
    std::array<uint8_t, backup::kBackupInfoSize> info{};
    if (ReadDeviceInformation(*channel, info.data()) != kResultOk) return OperationResult::Failed;
    backup::BackupImage image;
    const backup::DeviceBackupReport r =
        backup::ReadDeviceBackup(*channel, backup::LibraryMacroMemory(channel->kind, info.data()), image, &progress);
    if (r.result != backup::DeviceBackupResult::Ok) {
      DebugLineF("backup of the %s failed at %s (%s)", DeviceKindName(channel->kind), r.region.c_str(),
                 CommandResultName(r.device_result));
      return OperationResult::Failed;
    }
    return backup::SaveBackupFile(path, image) ? OperationResult::Succeeded : OperationResult::Failed;
  };
  RunOperation(kind, "device backup", operation, [this, path](OperationResult result) {
    ui::ShowMessage(w_.owner(),
                    Fill(result == OperationResult::Succeeded ? text::kBackupSaved : text::kBackupFailed, {path}),
                    false);
  });
}

void CDeviceBackupMenu::StartRestore(DeviceKind kind) {
  std::string path;
  if (!ui::ShowOpenFileDialog(w_.owner(), kBackupFilter, kBackupDefaultExtension, "*.trxbak", &path)) return;
  auto image = std::make_shared<backup::BackupImage>();
  backup::BackupReadResult why = backup::BackupReadResult::Ok;
  const std::string file = FileName(path);
  // The file is checked before the user is asked and before anything is
  // written; the device's own checks follow inside the operation.
  if (const char* refused = backup::TextIdOf(backup::LoadBackupFile(path, *image, why), why)) {
    ui::ShowMessage(w_.owner(), Fill(refused, {file}), false);
    return;
  }
  if (image->kind != kind) {
    ui::ShowMessage(w_.owner(), Fill(text::kBackupOtherDevice, {file}), false);
    return;
  }
  if (ui::ShowMessage(w_.owner(), Fill(text::kRestoreConfirm, {file, backup::FormatBackupTime(image->created)}),
                      false) != ui::kMsgResultConfirm)
    return;
  std::shared_ptr<CDeviceChannel> channel = w_.channel(kind);
  auto report = std::make_shared<backup::RestoreReport>();
  auto operation = [channel, image, report](IProgressReporter& progress) {
    *report = backup::RestoreDeviceBackup(*channel, *image, &progress);
    return report->result == backup::RestoreResult::Ok ? OperationResult::Succeeded : OperationResult::Failed;
  };
  RunOperation(kind, "device restore", operation, [this, report, file, kind](OperationResult) {
    std::string value = file;
    switch (backup::FillOf(report->result)) {
      case backup::RestoreFill::File: break;
      case backup::RestoreFill::DifferingRegions:
        value.clear();
        for (const std::string& r : report->differing) value += (value.empty() ? "" : ", ") + r;
        break;
      case backup::RestoreFill::FailedRegion: value = report->region.empty() ? std::string("-") : report->region; break;
    }
    const std::string message = Fill(backup::TextIdOf(report->result), {value});
    // Whatever was written, the pages show the device as it is now.
    if (!report->written.empty()) w_.read_again(kind);
    ui::ShowMessage(w_.owner(), message, false);
  });
}

// The one place backup and restore reach the device's queue: each is a
// single operation holding its channel from start to end, with the ring.
// `done` gets Failed when the operation could not run.
void CDeviceBackupMenu::RunOperation(DeviceKind kind, const char* name,
                                     std::function<OperationResult(IProgressReporter&)> operation,
                                     std::function<void(OperationResult)> done) {
  const bool started = w_.submit(
      kind, Operation(
                name, [operation = std::move(operation)](OperationContext& op) { return operation(op); },
                [done = std::move(done)](const OperationOutcome& o) {
                  if (done) done(o.Ok() ? OperationResult::Succeeded : OperationResult::Failed);
                },
                true));
  if (!started) DebugLine("device operation not started (the program is stopping)");
}

}  // namespace trx::app
