#pragma once
// The main window's modal message boxes: a language text id shown with the
// buttons the message needs (a question gets confirm and cancel, every
// other message one OK), and the forms that fill a number ("%d") or a name
// ("{name}") into the text first.
//
// Results: ui::kMsgResultConfirm (1) on confirm, kMsgResultCancel (0)
// otherwise (also when called off the UI thread: the box is not shown).
//
// UI thread.

#include <cstdint>
#include <functional>
#include <string_view>

#include "ui/window/win_types.h"

namespace trx::app {

class CWindowMessages {
 public:
  // `owner`: the window the boxes are modal to (its handle once created).
  explicit CWindowMessages(std::function<ui::HWND()> owner) : owner_(std::move(owner)) {}

  ui::HWND Owner() const { return owner_(); }
  int ShowId(std::string_view text_id) const;
  // The text of `text_id` with its "%d" filled by `number`.
  int ShowCount(std::string_view text_id, uint64_t number) const;
  // The text of `text_id` with its "{name}" filled by `name`.
  int ShowNamed(std::string_view text_id, std::string_view name) const;
  // A text shown as it is, with one OK button.
  int ShowText(std::string_view text) const;

 private:
  std::function<ui::HWND()> owner_;
};

}  // namespace trx::app
