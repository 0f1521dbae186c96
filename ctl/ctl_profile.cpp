#include "ctl/ctl_profile.h"

#include <optional>

#include "ctl/exit_codes.h"
#include "ctl/json_writer.h"
#include "device/commands.h"
#include "device/device_ids.h"
#include "platform/ini_file.h"
#include "profile/profile_operations.h"
#include "profile/profile_store.h"
#include "settings/record_apply.h"

namespace trx::ctl {
namespace {

constexpr const char* kProfileUsage =
    " (profile list DEVICE [FAMILY], select|copy|delete DEVICE FAMILY NAME, add|reset DEVICE FAMILY,"
    " rename DEVICE FAMILY NAME NEW, import DEVICE FAMILY FILE, export DEVICE FAMILY NAME FILE)\n";

const char* FamilyWord(ProfileFamily f) {
  return f == ProfileFamily::Device ? "device" : f == ProfileFamily::Light ? "light" : "key";
}

std::optional<ProfileFamily> ParseFamily(const std::string& word) {
  if (word == "device") return ProfileFamily::Device;
  if (word == "light") return ProfileFamily::Light;
  if (word == "key") return ProfileFamily::Key;
  return std::nullopt;
}


ExitCode Refuse(ProfileOpResult r, const std::string& detail, std::ostream& err) {
  err << "trx770ctl: " << ProfileOpResultName(r);
  if (!detail.empty()) err << ": " << detail;
  err << "\n";
  return ExitOf(r);
}

// The select target of the tool: the device when it is connected, the
// settings-pending flag as an immediate send, the pointer to the desktop.
class CtlTarget : public IProfileSelectTarget {
 public:
  CtlTarget(CDeviceChannel* channel, const ProfileSelectHooks& hooks) : channel_(channel), hooks_(hooks) {}
  CDeviceChannel* Channel(DeviceKind) override { return channel_; }
  void MarkSettingsPending(DeviceKind) override { pending_ = true; }
  void ProfileSelected(const ProfileSelection& s) override {
    selection = s;
    if (hooks_.program != nullptr) hooks_.program->ProfileSelected(s);
  }
  // The record the window's timer would send.
  CommandResult SendPending() {
    if (!pending_ || channel_ == nullptr || !channel_->connected) return kResultOk;
    return SendCurrentRecord(*channel_);
  }
  void ApplyPointerSettings() {
    if (selection.pointer_speed > 0 && hooks_.apply_pointer)
      hooks_.apply_pointer(selection.pointer_speed, selection.wheel_lines);
  }
  ProfileSelection selection;

 private:
  CDeviceChannel* channel_;
  const ProfileSelectHooks& hooks_;
  bool pending_ = false;
};

struct Args {
  DeviceKind kind;
  ProfileFamily family;
  const ProfileFamilyInfo* info;
};

class ProfileCommand {
 public:
  ProfileCommand(const std::vector<std::string>& w, bool json, const OpenChannel& open,
                 const ProfileSelectHooks& hooks, std::ostream& out, std::ostream& err)
      : w_(w), json_(json), open_(open), hooks_(hooks), out_(out), err_(err) {}

  ExitCode Run() {
    if (w_.size() < 3) return Usage();
    const std::string& sub = w_[1];
    auto kind = ParseDeviceKind(w_[2]);
    if (!kind) {
      err_ << "trx770ctl: unknown device '" << w_[2] << "' (mouse, keyboard or pad)\n";
      return ExitCode::Usage;
    }
    if (sub == "list") {
      if (w_.size() > 4) return Usage();
      return List(*kind, w_.size() == 4 ? &w_[3] : nullptr);
    }
    if (w_.size() < 4) return Usage();
    auto family = ParseFamily(w_[3]);
    const ProfileFamilyInfo* info = family ? FindFamily(*kind, *family) : nullptr;
    if (info == nullptr) {
      err_ << "trx770ctl: the " << DeviceKindName(*kind) << " has no '" << w_[3] << "' profiles\n";
      return ExitCode::Usage;
    }
    const Args a{*kind, *family, info};
    const size_t n = w_.size();
    // Whatever ends in a select needs the device, if it is there: ask
    // first, so a device another program holds is refused before any file
    // changes, not after.
    if (sub == "select" || sub == "add" || sub == "copy" || sub == "delete" || sub == "import" || sub == "reset") {
      ExitCode code = ExitCode::Ok;
      if (!OpenFor(a.kind, &channel_, &code)) return code;
    }
    if (sub == "select" && n == 5) return SelectNamed(a, w_[4]);
    if (sub == "add" && n == 4) return Made(a, AddProfile(a.kind, a.family), "added");
    if (sub == "copy" && n == 5) return WithName(a, w_[4], [&](int i) { return Made(a, CopyProfile(a.kind, a.family, i), "copied to"); });
    if (sub == "rename" && n == 6) return WithName(a, w_[4], [&](int i) { return Rename(a, i, w_[5]); });
    if (sub == "delete" && n == 5) return WithName(a, w_[4], [&](int i) { return Delete(a, i); });
    if (sub == "import" && n == 5) return Made(a, ImportProfile(a.kind, a.family, w_[4]), "imported as");
    if (sub == "export" && n == 6) return WithName(a, w_[4], [&](int i) { return Export(a, i, w_[5]); });
    if (sub == "reset" && n == 4) return Reset(a);
    return Usage();
  }

 private:
  ExitCode Usage() {
    err_ << "trx770ctl: usage:" << kProfileUsage;
    return ExitCode::Usage;
  }

  template <typename F>
  ExitCode WithName(const Args& a, const std::string& name, F f) {
    const int index = FindProfile(*a.info, name);
    if (index < 0) return Refuse(ProfileOpResult::NoSuchProfile, "no " + std::string(FamilyWord(a.family)) + " profile named '" + name + "'", err_);
    return f(index);
  }

  ExitCode List(DeviceKind kind, const std::string* family_word) {
    std::vector<const ProfileFamilyInfo*> families;
    if (family_word != nullptr) {
      auto family = ParseFamily(*family_word);
      const ProfileFamilyInfo* info = family ? FindFamily(kind, *family) : nullptr;
      if (info == nullptr) {
        err_ << "trx770ctl: the " << DeviceKindName(kind) << " has no '" << *family_word << "' profiles\n";
        return ExitCode::Usage;
      }
      families.push_back(info);
    } else {
      families = FamiliesOf(kind);
    }
    JsonWriter j(out_);
    if (json_) j.BeginArray("profiles");
    for (const ProfileFamilyInfo* info : families) {
      const std::vector<std::string> names = ProfileNames(*info);
      const int selected = SelectedProfileIndex(*info);
      const std::string ini = ProfileIniPath(info->kind);
      for (size_t i = 0; i < names.size(); ++i) {
        const std::string key = std::to_string(i);
        const bool linked = GetPrivateProfileLong(info->link_section, key, ini) == 1;
        std::string program;
        if (linked) GetPrivateProfileString(info->process_section, key, "", program, ini);
        if (json_) {
          j.BeginObject().String("family", FamilyWord(info->family)).Int("index", static_cast<long long>(i));
          j.String("name", names[i]).Bool("selected", static_cast<int>(i) == selected).String("link", program).EndObject();
        } else {
          out_ << FamilyWord(info->family) << " " << i << (static_cast<int>(i) == selected ? " * " : "   ") << names[i];
          if (linked) out_ << "  (linked to " << program << ")";
          out_ << "\n";
        }
      }
    }
    if (json_) {
      j.EndArray();
      j.Finish();
    }
    return ExitCode::Ok;
  }

  // Opens the device for a select; null without a device (the select is
  // then stored only). False with the exit code when it is there but can't
  // be used.
  bool OpenFor(DeviceKind kind, CDeviceChannel** channel, ExitCode* code) {
    OpenReport report;
    *channel = open_(kind, report);
    if (*channel != nullptr || report.result == OpenResult::NotPresent) return true;
    err_ << "trx770ctl: " << DescribeOpenFailure(kind, report) << "\n";
    *code = report.result == OpenResult::NoAccess ? ExitCode::NoAccess
            : report.result == OpenResult::InUse  ? ExitCode::Busy
                                                  : ExitCode::DeviceError;
    return false;
  }

  // The image starts from the selected device profile, as the window's
  // does at a connect (a device profile select keeps its bytes 14 and 19).
  void PrimeImage(const Args& a) const {
    if (a.kind != DeviceKind::Mouse || hooks_.program != nullptr) return;
    const ProfileFamilyInfo* device = FindFamily(a.kind, ProfileFamily::Device);
    LoadProfile(a.kind, ProfileFamily::Device, SelectedProfileIndex(*device));
  }

  ExitCode Select(const Args& a, int index, const std::string& what) {
    CDeviceChannel* channel = channel_;
    PrimeImage(a);
    CtlTarget target(channel, hooks_);
    const ProfileOpResult r = SelectProfile(a.kind, a.family, index, target);
    if (r != ProfileOpResult::Ok) return Refuse(r, "selecting '" + what + "'", err_);
    const CommandResult sent = target.SendPending();
    target.ApplyPointerSettings();
    out_ << DeviceKindName(a.kind) << " " << FamilyWord(a.family) << " profile '" << what << "' selected";
    if (channel == nullptr) out_ << " (no " << DeviceKindName(a.kind) << " connected: stored only)";
    out_ << "\n";
    if (sent != kResultOk) {
      err_ << "trx770ctl: sending the record failed: " << CommandResultName(sent) << "\n";
      return ExitOf(sent);
    }
    return ExitCode::Ok;
  }

  ExitCode SelectNamed(const Args& a, const std::string& name) {
    return WithName(a, name, [&](int i) { return Select(a, i, ProfileNames(*a.info)[static_cast<size_t>(i)]); });
  }

  // Add, copy, import: report the new profile and select it.
  ExitCode Made(const Args& a, const ProfileOpOutcome& o, const char* verb) {
    if (o.result != ProfileOpResult::Ok) return Refuse(o.result, o.detail, err_);
    out_ << DeviceKindName(a.kind) << " " << FamilyWord(a.family) << " profile " << verb << " '" << o.name << "'\n";
    return Select(a, o.index, o.name);
  }

  ExitCode Rename(const Args& a, int index, const std::string& name) {
    ProfileOpOutcome o = RenameProfile(a.kind, a.family, index, name);
    if (o.result != ProfileOpResult::Ok) return Refuse(o.result, o.detail, err_);
    out_ << DeviceKindName(a.kind) << " " << FamilyWord(a.family) << " profile renamed to '" << o.name << "'\n";
    return ExitCode::Ok;
  }

  ExitCode Delete(const Args& a, int index) {
    const std::string name = ProfileNames(*a.info)[static_cast<size_t>(index)];
    ProfileOpOutcome o = DeleteProfile(a.kind, a.family, index);
    if (o.result != ProfileOpResult::Ok) return Refuse(o.result, o.detail, err_);
    out_ << DeviceKindName(a.kind) << " " << FamilyWord(a.family) << " profile '" << name << "' deleted\n";
    return Select(a, o.index, o.name);
  }

  ExitCode Export(const Args& a, int index, const std::string& path) {
    ProfileOpOutcome o = ExportProfile(a.kind, a.family, index, path);
    if (o.result != ProfileOpResult::Ok) return Refuse(o.result, o.detail, err_);
    out_ << DeviceKindName(a.kind) << " " << FamilyWord(a.family) << " profile '" << o.name << "' exported to " << path << "\n";
    return ExitCode::Ok;
  }

  ExitCode Reset(const Args& a) {
    CDeviceChannel* channel = channel_;
    PrimeImage(a);
    CtlTarget target(channel, hooks_);
    const ProfileOpResult r = RestoreDefaultProfile(a.kind, a.family, target);
    if (r != ProfileOpResult::Ok) return Refuse(r, "restoring the default", err_);
    const CommandResult sent = target.SendPending();
    target.ApplyPointerSettings();
    out_ << DeviceKindName(a.kind) << " " << FamilyWord(a.family) << " profile '"
         << ProfileNameAt(*a.info, SelectedProfileIndex(*a.info)) << "' restored to the default\n";
    if (sent != kResultOk) {
      err_ << "trx770ctl: sending the record failed: " << CommandResultName(sent) << "\n";
      return ExitOf(sent);
    }
    return ExitCode::Ok;
  }

  const std::vector<std::string>& w_;
  CDeviceChannel* channel_ = nullptr;  // opened before any file changes; null: not connected
  bool json_;
  const OpenChannel& open_;
  const ProfileSelectHooks& hooks_;
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace

ExitCode RunProfileCommand(const std::vector<std::string>& words, bool json, const OpenChannel& open,
                           const ProfileSelectHooks& hooks, std::ostream& out, std::ostream& err) {
  return ProfileCommand(words, json, open, hooks, out, err).Run();
}

}  // namespace trx::ctl
