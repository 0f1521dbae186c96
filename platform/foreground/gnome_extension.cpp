#include "platform/foreground/gnome_extension.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/atomic_file.h"
#include "platform/foreground/dbus_foreground.h"
#include "platform/foreground/foreground_source.h"
#include "platform/foreground/gnome_extension_text.h"

namespace trx::foreground {
namespace {

bool SameContent(const std::string& path, std::string_view text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string have((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return have == text;
}

}  // namespace

int GnomeShellMajor(std::string_view version) {
  int major = 0;
  const auto [end, ec] = std::from_chars(version.data(), version.data() + version.size(), major);
  if (ec != std::errc() || end == version.data() || major < 0) return 0;
  return major;
}

GnomeExtensionForm GnomeExtensionFormFor(int shell_major) {
  if (shell_major >= 45) return GnomeExtensionForm::Module45;
  if (shell_major >= 43) return GnomeExtensionForm::Script43;
  return GnomeExtensionForm::None;
}

std::string GnomeExtensionFolder(const std::string& data_home) {
  return (std::filesystem::path(data_home) / "gnome-shell" / "extensions" / kGnomeExtensionUuid).string();
}

GnomeInstallResult InstallGnomeExtension(const std::string& data_home, GnomeExtensionForm form) {
  if (form == GnomeExtensionForm::None) return GnomeInstallResult::NoForm;
  const bool module = form == GnomeExtensionForm::Module45;
  const std::string_view metadata = module ? kGnome45Metadata : kGnome43Metadata;
  const std::string_view script = module ? kGnome45Extension : kGnome43Extension;
  const std::string folder = GnomeExtensionFolder(data_home);
  const std::string metadata_path = folder + "/metadata.json";
  const std::string script_path = folder + "/extension.js";
  if (SameContent(metadata_path, metadata) && SameContent(script_path, script)) return GnomeInstallResult::Unchanged;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return GnomeInstallResult::Failed;
  if (!WriteFileAtomic(script_path, script.data(), script.size()) ||
      !WriteFileAtomic(metadata_path, metadata.data(), metadata.size()))
    return GnomeInstallResult::Failed;
  return GnomeInstallResult::Written;
}

const char* GnomeExtensionReason(const GnomeExtensionSeen& seen) {
  const auto state = static_cast<GnomeExtensionState>(seen.state);
  if (seen.known && state == GnomeExtensionState::Enabled) return nullptr;
  // The right form is on disk; the shell reads it at the next login.
  if (seen.copy_waiting) return kReasonGnomeLogin;
  if (!seen.known || state == GnomeExtensionState::Uninstalled) return kReasonGnomeMissing;
  switch (state) {
    case GnomeExtensionState::Error:
      return kReasonGnomeFailed;
    case GnomeExtensionState::OutOfDate:
      // Only the GNOME 45 form is loaded (the system's copy) and the form
      // for this shell could not be written.
      return seen.shell_major >= 43 && seen.shell_major < 45 ? kReasonGnomeNeeds45 : kReasonGnomeOutOfDate;
    default:
      return kReasonGnome;
  }
}

}  // namespace trx::foreground
