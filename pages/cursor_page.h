#pragma once
// CCursorPage: the mouse's fire-key routine page ("Mouse_cursor.xml").
// The four routine options choose a routine, the 30 step options a step;
// the step editor shows the step's pause and moves and writes the step
// back to the routine file on every edit (limits: pause 65535 ms in 10 ms
// units, distances 255). Save sends the four routines to the mouse; reset,
// import and export work on the selected routine's file. The path preview
// ("ms_cursor_path") draws the pointer's track over the 30 steps, the
// selected step marked.
//
// State: the selected routine (0-3) and step (0-29); the files are the
// routines' only store (routine/). An edit, reset or import not yet sent to
// the mouse marks the routines unsaved (IDevices::RoutineEdits): the
// window then asks before closing, and a connect read that would replace
// the files asks first ("routine_replace_unsaved_question"). Reset asks
// ("routine_reset_question") before it replaces the routine. While all four
// routines are empty (a mouse with factory memory leaves them so after its
// connect read) a notice above the buttons says so and offers the
// ready-made routines ("routine_empty_text", "routine_defaults_text").
//
// UI thread only.

#include <string>

#include "pages/page.h"
#include "pages/upload_result.h"
#include "routine/routine_device.h"
#include "routine/routine_files.h"
#include "routine/routine_steps.h"

namespace trx::pages {

// The message telling the user the routines' size and the mouse's limit
// (the language text "routine_too_large_text" with both numbers).
std::string RoutineTooLargeMessage(const routine::RoutineImageReport& image);

class CCursorPage : public CPage {
 public:
  explicit CCursorPage(PageContext& context);

  void Bind(CRouter& router) override;
  ControlBindings Bindings() override;
  void OnWindowInit() override;
  void OnDeviceConnected(DeviceKind kind, const ConnectResult& result) override;

  int SelectedRoutine() const { return routine_; }
  int SelectedStep() const { return step_; }

  void RoutineChosen(int r);
  void StepChosen(int k);
  void StepClicked(int k);
  void StepPrevious();
  void StepNext();
  void ShowStep();
  void StoreStep();
  void UploadRoutines();
  void ResetRoutine();
  void ImportRoutine();
  void ExportRoutine();
  // "ms_cursor_defaults_btn": the four default routine files replace the
  // routines, which are then sent to the mouse.
  void LoadReadyMadeRoutines();
  // True when none of the four routine files holds an action (a mouse with
  // factory memory after its connect read).
  bool AllRoutinesEmpty() const;

 private:
  struct Ui {
    Handle<ui::COptionUI> first_routine;
    Handle<ui::COptionUI> steps[routine::kStepCount];
    Handle<> empty_offer, edit_layout, step_index, delay, x, y, save;
    Handle<ui::COptionUI> left, right, up, down;  // the direction pairs
    Handle<ui::CContainerUI> path;
  };
  // Puts the edit's number back within `limit`; the value it holds.
  uint32_t LimitedEditValue(const Handle<>& edit, uint32_t limit);
  // Selects `first` or `second` of a direction pair, without notifying.
  void SetCheck(const Handle<ui::COptionUI>& first, const Handle<ui::COptionUI>& second, bool first_selected);
  void SelectStepOption(int k);
  void ShowPath();
  void UploadDone(UploadResult result);
  void ShowRoutineZero();
  // "ms_cursor_empty_hor" (the notice and the offer) shown while every
  // routine is empty.
  void ShowEmptyOffer();

  routine::RoutineStore store_;
  int routine_ = 0;
  int step_ = 0;
  bool showing_ = false;   // ShowStep is filling the editor: no StoreStep
  int toggle_off_ = -1;    // a click on the selected step: its reselection ends editing
  bool uploading_ = false;
  routine::RoutineUploadReport last_upload_;
  Ui ui_;
};

}  // namespace trx::pages
