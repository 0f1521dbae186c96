#include "platform/text_ids.h"
#include "pages/cursor_page.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "pages/control_names.h"
#include "pages/result_texts.h"
#include "pages/router.h"
#include "pages/routine_path.h"
#include "platform/debug_log.h"
#include "routine/routine_device.h"
#include "ui/core/container.h"
#include "ui/core/option.h"
#include "ui/core/resource_manager.h"
#include "ui/window/file_dialog.h"

namespace trx::pages {

namespace {

constexpr const char* kRoutinePrefix = "ms_gun_op_";
constexpr const char* kStepPrefix = "ms_bullet_op_";
constexpr const char* kStepOptionFormat = "ms_bullet_op_%d";
constexpr const char* kStepIndex = "bullet_select_index";
constexpr const char* kPrevious = "bullet_selected_prev";
constexpr const char* kNext = "bullet_selected_next";
constexpr const char* kEditLayout = "cursor_edit_layout";
constexpr const char* kDelayEdit = "ms_cursor_delay_eidt";
constexpr const char* kXEdit = "ms_cursor_x_eidt";
constexpr const char* kYEdit = "ms_cursor_y_eidt";
constexpr const char* kXCheck = "ms_cursor_x_check";
constexpr const char* kYCheck = "ms_cursor_y_check";
// Each direction is a pair of options: left or right, up or down. The
// first of each pair ("_check") is selected for left and up.
constexpr const char* kXRight = "ms_cursor_x_right";
constexpr const char* kYDown = "ms_cursor_y_down";
constexpr const char* kSave = "ms_bulletdate_save_btn";
constexpr const char* kEmptyOffer = "ms_cursor_empty_hor";
constexpr const char* kLoadDefaults = "ms_cursor_defaults_btn";
constexpr const char* kReset = "ms_bulletdate_reset_btn";
constexpr const char* kImport = "ms_bulletdate_import_btn";
constexpr const char* kExport = "ms_bulletdate_export_btn";
constexpr const char* kPath = "ms_cursor_path";

constexpr const char* kFilter = "(*.cur) | *.cur ||";
constexpr const char* kExtension = "cur";
constexpr const char* kInitialName = "*.cur";

// Questions before the routine files are replaced.
constexpr const char* kResetQuestion = "routine_reset_question";
constexpr const char* kReplaceQuestion = "routine_replace_unsaved_question";
// "%d" twice: the bytes the routines need, the bytes the mouse holds.
constexpr const char* kTooLargeText = "routine_too_large_text";

// The path preview's drawing.
constexpr int kPathMargin = 8;
constexpr int kDotSize = 4;
constexpr int kMarkSize = 8;
constexpr int kLineDots = 3;  // between two step positions
constexpr const char* kDotColour = "#FFE6E9EE";
constexpr const char* kLineColour = "#809AA3B0";
constexpr const char* kStartColour = "#FF3F96F5";
constexpr const char* kMarkColour = "#FFE8453C";

// What the upload returns to the UI thread.

std::string StepOption(int k) {
  char name[32];
  std::snprintf(name, sizeof name, kStepOptionFormat, k);
  return name;
}

bool IsSelected(ui::CControlUI* control) {
  auto* option = control != nullptr ? static_cast<ui::COptionUI*>(control->GetInterface("Option")) : nullptr;
  return option != nullptr && option->IsSelected();
}

// The language text with its first two "%d" replaced by a and b.
std::string FormatTwoNumbers(std::string text, uint64_t a, uint64_t b) {
  for (uint64_t n : {a, b}) {
    const size_t at = text.find("%d");
    if (at == std::string::npos) break;
    text.replace(at, 2, std::to_string(n));
  }
  return text;
}

// A dot of the preview at (x, y) (its centre), `size` pixels wide.
ui::CControlUI* Dot(int x, int y, int size, const char* colour) {
  auto* dot = new ui::CControlUI();
  const int half = size / 2;
  const std::string pos = std::to_string(x - half) + "," + std::to_string(y - half) + "," +
                          std::to_string(x - half + size) + "," + std::to_string(y - half + size);
  dot->SetAttribute("float", "true");
  dot->SetAttribute("pos", pos);
  dot->SetAttribute("bkcolor", colour);
  const std::string round = std::to_string(half) + "," + std::to_string(half);
  dot->SetAttribute("borderround", round);
  dot->SetMouseEnabled(false);
  return dot;
}

}  // namespace

std::string RoutineTooLargeMessage(const routine::RoutineImageReport& image) {
  return FormatTwoNumbers(ui::CResourceManager::GetInstance()->GetText(kTooLargeText), image.total_size, image.limit);
}

CCursorPage::CCursorPage(PageContext& context) : CPage(context), store_(routine::RoutineStoreFor()) {}

void CCursorPage::Bind(CRouter& router) {
  router.Add(Table::SelectAfterGuard, {kRoutinePrefix, Match::Prefix, [this](ui::TNotifyUI& msg, const NameSplit& s) {
                                         if (IsSelected(msg.pSender)) RoutineChosen(s.index);
                                       }});
  router.Add(Table::SelectAfterGuard, {kStepPrefix, Match::Prefix, [this](ui::TNotifyUI& msg, const NameSplit& s) {
                                         if (IsSelected(msg.pSender)) StepChosen(s.index);
                                       }});
  // A choice in a pair clears its mate: only the newly selected one stores.
  for (const char* option : {kXCheck, kXRight, kYCheck, kYDown})
    router.Add(Table::SelectAfterGuard, {option, Match::Exact, [this](ui::TNotifyUI& msg, const NameSplit&) {
                                           if (IsSelected(msg.pSender)) StoreStep();
                                         }});
  router.Add(Table::Click, {kStepPrefix, Match::Prefix,
                            [this](ui::TNotifyUI&, const NameSplit& s) { StepClicked(s.index); }});
  auto click = [&](const char* name, void (CCursorPage::*fn)()) {
    router.Add(Table::Click, {name, Match::Exact, [this, fn](ui::TNotifyUI&, const NameSplit&) { (this->*fn)(); }});
  };
  click(kPrevious, &CCursorPage::StepPrevious);
  click(kNext, &CCursorPage::StepNext);
  click(kSave, &CCursorPage::UploadRoutines);
  click(kReset, &CCursorPage::ResetRoutine);
  click(kImport, &CCursorPage::ImportRoutine);
  click(kExport, &CCursorPage::ExportRoutine);
  click(kLoadDefaults, &CCursorPage::LoadReadyMadeRoutines);
  for (const char* edit : {kDelayEdit, kXEdit, kYEdit})
    router.Add(Table::TextChanged, {edit, Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { StoreStep(); }});
}

void CCursorPage::OnWindowInit() {
  // Step 0 of routine 0, selected quietly: nothing was chosen yet. (The
  // index and the files were set up by the start-up data load.)
  routine_ = 0;
  SelectStepOption(0);
}

void CCursorPage::OnDeviceConnected(DeviceKind kind, const ConnectResult&) {
  if (kind != DeviceKind::Mouse) return;
  if (ctx_.devices.RoutineEdits().Unsaved()) {
    // The connect read left the files alone: they hold edits the mouse
    // has not got. Replaced only when the user says so.
    if (ctx_.dialogs.ShowMessage(kReplaceQuestion) != kDialogConfirmed) return;
    ctx_.devices.Submit(DeviceKind::Mouse,
                        Operation(
                            "routine read",
                            [store = store_](OperationContext& op) {
                              return routine::ReadRoutinesFromMouse(op.Channel(), store).result ==
                                             routine::RoutineResult::Ok
                                         ? OperationResult::Succeeded
                                         : OperationResult::Failed;
                            },
                            [this](const OperationOutcome& o) {
                              if (o.Ok()) ctx_.devices.RoutineEdits().MarkSaved();
                              ShowRoutineZero();
                            },
                            true));
    return;
  }
  // The connect read rewrote the files from the mouse: routine 0 again.
  ShowRoutineZero();
}

ControlBindings CCursorPage::Bindings() {
  ControlBindings b = {{std::string(kRoutinePrefix) + "0", &ui_.first_routine},
                       {kEmptyOffer, &ui_.empty_offer},
                       {kEditLayout, &ui_.edit_layout},
                       {kStepIndex, &ui_.step_index},
                       {kDelayEdit, &ui_.delay},
                       {kXEdit, &ui_.x},
                       {kYEdit, &ui_.y},
                       {kSave, &ui_.save},
                       {kXCheck, &ui_.left},
                       {kXRight, &ui_.right},
                       {kYCheck, &ui_.up},
                       {kYDown, &ui_.down},
                       {kPath, &ui_.path}};
  for (int k = 0; k < routine::kStepCount; ++k) b.push_back({StepOption(k), &ui_.steps[k]});
  return b;
}

void CCursorPage::ShowRoutineZero() {
  if (ui::COptionUI* option = ui_.first_routine.get()) option->Selected(true, false);
  RoutineChosen(0);
  ShowEmptyOffer();
}

bool CCursorPage::AllRoutinesEmpty() const {
  for (int r = 0; r < routine::kRoutineCount; ++r)
    if (routine::RoutineActionCount(store_, r) > 0) return false;
  return true;
}

void CCursorPage::ShowEmptyOffer() {
  const bool empty = AllRoutinesEmpty();
  ui::CControlUI* offer = ui_.empty_offer.get();
  if (offer == nullptr) return;
  if (empty && !offer->IsVisible()) DebugLine("cursor routines: all four are empty; the ready-made ones are offered");
  offer->SetVisible(empty);
}

void CCursorPage::LoadReadyMadeRoutines() {
  for (int r = 0; r < routine::kRoutineCount; ++r) {
    const routine::RoutineResult result = routine::ResetRoutine(store_, r);
    if (result != routine::RoutineResult::Ok) {
      DebugLineF("cursor routine %d: the ready-made one could not be loaded: %s", r + 1, routine::RoutineResultName(result));
      ShowTextOf(ctx_.dialogs, result);
      ShowRoutineZero();
      return;
    }
  }
  ctx_.devices.RoutineEdits().MarkUnsaved();
  ShowRoutineZero();
  // What the button offers: the routines on the mouse.
  UploadRoutines();
}

void CCursorPage::RoutineChosen(int r) {
  if (r < 0 || r >= routine::kRoutineCount) return;
  routine_ = r;
  SelectStepOption(0);
}

// Programmatic choices select quietly and show the step themselves (even
// when it was selected already), so they never meet the macro-edit guard.
void CCursorPage::SelectStepOption(int k) {
  toggle_off_ = -1;
  if (k >= 0 && k < routine::kStepCount) ui_.steps[k].Select(false);
  StepChosen(k);
}

void CCursorPage::StepChosen(int k) {
  if (k < 0 || k >= routine::kStepCount) return;
  step_ = k;
  if (toggle_off_ == k) {
    // The click was on the step already selected: editing ends.
    toggle_off_ = -1;
    if (ui::COptionUI* option = ui_.steps[k].get()) option->Selected(false, false);
    ui_.edit_layout.Enable(false);
    return;
  }
  ShowStep();
  ui_.edit_layout.Enable(true);
  ui_.step_index.SetText(std::to_string(k + 1));
}

void CCursorPage::StepClicked(int k) {
  // Click notifications come before the selection change. A click on the
  // selected step clears it and ends editing; should the click's own
  // selection follow, StepChosen clears it again.
  toggle_off_ = -1;
  ui::COptionUI* option = k >= 0 && k < routine::kStepCount ? ui_.steps[k].get() : nullptr;
  if (option == nullptr || !option->IsSelected()) return;
  toggle_off_ = k;
  option->Selected(false, false);
  ui_.edit_layout.Enable(false);
}

void CCursorPage::StepPrevious() {
  if (step_ > 0) SelectStepOption(step_ - 1);
}

void CCursorPage::StepNext() {
  if (step_ < routine::kStepCount - 1) SelectStepOption(step_ + 1);
}

void CCursorPage::SetCheck(const Handle<ui::COptionUI>& first, const Handle<ui::COptionUI>& second,
                           bool first_selected) {
  ui::COptionUI* option = (first_selected ? first : second).get();
  if (option != nullptr) option->Selected(true, false);
}

void CCursorPage::ShowStep() {
  const routine::RoutineStep step = routine::ReadStep(store_, routine_, step_);
  showing_ = true;
  ui_.delay.SetText(std::to_string(step.pause_ms));
  ui_.x.SetText(std::to_string(step.x));
  ui_.y.SetText(std::to_string(step.y));
  SetCheck(ui_.left, ui_.right, step.left);
  SetCheck(ui_.up, ui_.down, step.up);
  showing_ = false;
  ShowPath();
}

uint32_t CCursorPage::LimitedEditValue(const Handle<>& edit, uint32_t limit) {
  ui::CControlUI* control = edit.get();
  if (control == nullptr) return 0;
  const std::string text = control->GetText();
  const unsigned long value = std::strtoul(text.c_str(), nullptr, 10);
  if (value > limit || text.size() > 10) {
    control->SetText(std::to_string(limit));
    return limit;
  }
  return static_cast<uint32_t>(value);
}

void CCursorPage::StoreStep() {
  if (showing_) return;
  routine::RoutineStep step;
  step.pause_ms = LimitedEditValue(ui_.delay, routine::kMaxPauseMs);
  step.x = LimitedEditValue(ui_.x, routine::kMaxDistance);
  step.y = LimitedEditValue(ui_.y, routine::kMaxDistance);
  step.left = IsSelected(ui_.left.get());
  step.up = IsSelected(ui_.up.get());
  const routine::RoutineResult r = routine::StoreStep(store_, routine_, step_, step);
  if (r != routine::RoutineResult::Ok) {
    DebugLineF("cursor routine %d step %d not stored: %s", routine_ + 1, step_ + 1, routine::RoutineResultName(r));
    ShowTextOf(ctx_.dialogs, r);
    return;
  }
  ctx_.devices.RoutineEdits().MarkUnsaved();
  ShowPath();
  ShowEmptyOffer();
}

void CCursorPage::ShowPath() {
  ui::CContainerUI* path = ui_.path.get();
  if (path == nullptr) return;
  path->RemoveAll();
  const ui::UiRect box = path->GetPos();
  int width = box.Width() > 0 ? box.Width() : path->GetFixedWidth();
  int height = box.Height() > 0 ? box.Height() : path->GetFixedHeight();
  if (width <= 0 || height <= 0) return;
  const std::vector<PathPixel> pixels =
      LayOutPath(routine::RoutineTrack(routine::LoadRoutineLines(store_, routine_)), width, height, kPathMargin);
  // Faint dots between the steps make the line, then the steps, the start
  // and the selected step on top.
  for (size_t i = 1; i < pixels.size(); ++i)
    for (int d = 1; d <= kLineDots; ++d) {
      const int x = pixels[i - 1].x + (pixels[i].x - pixels[i - 1].x) * d / (kLineDots + 1);
      const int y = pixels[i - 1].y + (pixels[i].y - pixels[i - 1].y) * d / (kLineDots + 1);
      path->Add(Dot(x, y, 2, kLineColour));
    }
  for (size_t i = 1; i < pixels.size(); ++i) path->Add(Dot(pixels[i].x, pixels[i].y, kDotSize, kDotColour));
  path->Add(Dot(pixels[0].x, pixels[0].y, kMarkSize - 2, kStartColour));
  const PathPixel& mark = pixels[static_cast<size_t>(step_) + 1];
  path->Add(Dot(mark.x, mark.y, kMarkSize, kMarkColour));
  path->NeedUpdate();
}

void CCursorPage::UploadRoutines() {
  if (uploading_) return;
  // The worker fills the report; the UI thread reads it once done runs.
  auto report = std::make_shared<routine::RoutineUploadReport>();
  auto operation = [report, store = store_](OperationContext& op) {
    *report = routine::UploadRoutines(op.Channel(), store, &op);
    if (report->result == routine::RoutineResult::Ok) return UploadResult::Ok;
    return report->result == routine::RoutineResult::TooLarge ? UploadResult::TooLarge : UploadResult::DeviceError;
  };
  uploading_ = true;
  ui_.save.Enable(false);  // busy until the mouse answered
  auto done = [this, report](const OperationOutcome& o) {
    last_upload_ = *report;
    UploadDone(UploadResultOf(o));
  };
  if (!ctx_.devices.Submit(DeviceKind::Mouse, Operation("routine upload", operation, done, true))) {
    uploading_ = false;
    ui_.save.Enable(true);
  }
}

void CCursorPage::UploadDone(UploadResult result) {
  uploading_ = false;
  ui_.save.Enable(true);
  if (result == UploadResult::Ok) {
    ctx_.devices.RoutineEdits().MarkSaved();
    return;
  }
  if (result == UploadResult::TooLarge) {
    // The size and the limit, so the user knows how much must go.
    ctx_.dialogs.ShowText(RoutineTooLargeMessage(last_upload_.image));
    return;
  }
  ShowTextOf(ctx_.dialogs, result);
}

void CCursorPage::ResetRoutine() {
  if (ctx_.dialogs.ShowMessage(kResetQuestion) != kDialogConfirmed) return;
  const routine::RoutineResult r = routine::ResetRoutine(store_, routine_);
  if (r != routine::RoutineResult::Ok) {
    DebugLineF("cursor routine %d not reset: %s", routine_ + 1, routine::RoutineResultName(r));
    ShowTextOf(ctx_.dialogs, r);
  } else {
    ctx_.devices.RoutineEdits().MarkUnsaved();
  }
  SelectStepOption(0);
  ShowEmptyOffer();
}

void CCursorPage::ImportRoutine() {
  std::string path;
  if (!ui::ShowOpenFileDialog(controls().PaintManager().GetPaintWindow(), kFilter, kExtension, kInitialName, &path) ||
      path.empty())
    return;
  std::string problem;
  const routine::RoutineResult r = routine::ImportRoutine(store_, routine_, path, nullptr, &problem);
  if (r == routine::RoutineResult::TooManyActions) {
    ShowTextOf(ctx_.dialogs, r);
    return;
  }
  if (!problem.empty()) {  // not a routine file: the routine stays as it was
    DebugLine("cursor routine import: " + problem);
    ctx_.dialogs.ShowText(problem);
    return;
  }
  if (r == routine::RoutineResult::Ok) ctx_.devices.RoutineEdits().MarkUnsaved();
  if (r != routine::RoutineResult::Ok) {
    DebugLineF("cursor routine import from %s: %s", path.c_str(), routine::RoutineResultName(r));
    ShowTextOf(ctx_.dialogs, r);
    return;
  }
  ShowStep();
  ShowEmptyOffer();
}

void CCursorPage::ExportRoutine() {
  std::string path;
  // The routine's own name is the suggested file name.
  const std::string name = routine::RoutineName(store_, routine_);
  const std::string suggested = name.empty() ? std::string(kInitialName) : name + "." + kExtension;
  if (!ui::ShowSaveFileDialog(controls().PaintManager().GetPaintWindow(), kFilter, kExtension, suggested, &path) ||
      path.empty())
    return;
  // The save dialog asks before it returns an existing file (its overwrite
  // prompt), so a confirmed path is replaced.
  const routine::RoutineResult r = routine::ExportRoutine(store_, routine_, path, true);
  if (r != routine::RoutineResult::Ok) {
    DebugLineF("cursor routine export to %s: %s", path.c_str(), routine::RoutineResultName(r));
    ShowTextOf(ctx_.dialogs, r);
    return;
  }
  ctx_.dialogs.ShowNamedMessage(names::kTextExported, path);
}

}  // namespace trx::pages
