#include "ui/dialogs/skin_frame.h"

#include <cstdio>
#include <cstdlib>

#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "platform/user_folders.h"
#include "ui/core/container.h"
#include "ui/dialogs/dialog_hook.h"
#include "ui/window/file_dialog.h"
#include "ui/window/message_queue.h"
#include "ui/window/screen_placement.h"
#include "ui/window/win_api.h"

namespace trx::ui {
namespace {

void WriteSkinKey(const char* key, const std::string& value) {
  if (!WritePrivateProfileString(kSkinIniSection, key, value, MainIniPath()))
    DebugLineF("main.ini: %s not written", key);
}

// Remembers the background for the next start: flags 1 = a listed image.
void RememberSkin(int flags, const std::string& image) {
  WriteSkinKey(kSkinIniFlags, std::to_string(flags));
  WriteSkinKey(kSkinIniImage, image);
}

void BroadcastSkin(const SkinChangedParam& param) { SkinObserver().Broadcast(param); }

constexpr UiColor kChosenRing = 0xFFE8453C;

std::string ColorText(UiColor color) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", color);
  return text;
}

}  // namespace

bool ReadStoredSkinImage(std::string* image) {
  const std::string path = MainIniPath();
  if (GetPrivateProfileLong(kSkinIniSection, kSkinIniFlags, path) != 1) return false;
  std::string value;
  GetPrivateProfileString(kSkinIniSection, kSkinIniImage, "", value, path);
  if (value.empty()) return false;  // nothing to show: keep the default
  if (image) *image = value;
  return true;
}

bool ReadStoredSkin(SkinChangedParam* skin) {
  const std::string path = MainIniPath();
  const long flags = GetPrivateProfileLong(kSkinIniSection, kSkinIniFlags, path);
  if (flags == 1) {
    std::string image;
    if (!ReadStoredSkinImage(&image)) return false;
    if (skin) *skin = {false, 0, image};
    return true;
  }
  if (flags != 2) return false;
  std::string value;
  GetPrivateProfileString(kSkinIniSection, kSkinIniColor, "", value, path);
  char* end = nullptr;
  const unsigned long color = std::strtoul(value.c_str(), &end, 16);
  if (value.empty() || end == nullptr || *end != '\0' || (color >> 24) == 0) return false;
  if (skin) *skin = {true, static_cast<UiColor>(color), {}};
  return true;
}

CSkinFrame::CSkinFrame(HWND main_wnd, CControlUI* skin_button)
    : main_wnd_(main_wnd), skin_button_(skin_button) {}

CSkinFrame* CSkinFrame::Open(HWND main_wnd, CControlUI* skin_button) {
  if (!CMessageQueue::Instance().IsUiThread()) {
    DebugLine("skin chooser: not on the UI thread, not opened");
    return nullptr;
  }
  auto* frame = new CSkinFrame(main_wnd, skin_button);
  const HWND hwnd = frame->Create(nullptr, kSkinFrameTitle, kSkinFrameStyle, kSkinFrameExStyle);
  if (hwnd == nullptr) return nullptr;  // deleted itself on the way out
  RunDialogHook(*frame, kSkinFrameClassName);
  return frame;
}

void CSkinFrame::InitWindow() {
  // Drop down from the skin button: the chooser's top-right corner at the
  // button's bottom-right corner, in screen coordinates.
  const UiSize size = m_pm.GetInitSize();
  UiRect main_rect{};
  if (skin_button_ != nullptr && ::trx::ui::GetWindowRect(main_wnd_, &main_rect)) {
    const UiRect button = skin_button_->GetPos();
    const int right = main_rect.left + button.right;
    const int top = main_rect.top + button.bottom;
    // Moved onto the work area when the main window lies partly past an edge.
    const UiPoint at = KeepOnWorkArea({right - size.cx, top}, size.cx, size.cy);
    SetWindowPos(nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    ResizeClient(size.cx, size.cy);
  }
  MarkChosen();
}

void CSkinFrame::MarkChosen() {
  SkinChangedParam stored;
  if (!ReadStoredSkin(&stored) || m_pm.GetRoot() == nullptr) return;
  m_pm.GetRoot()->FindControl(
      [&](CControlUI* c) {
        const bool chosen = stored.bColor ? c->GetName() == kSkinColorBtnName && c->GetBkColor() == stored.bkcolor
                                          : c->GetName() == kSkinImageBtnName && c->GetUserData() == stored.bgimage;
        if (chosen) {
          c->SetBorderColor(kChosenRing);
          c->SetBorderSize(2);
        }
        return false;  // visits every control
      },
      UIFIND_ALL);
}

void CSkinFrame::OnFinalMessage(HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  delete this;
}

LRESULT CSkinFrame::HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = false;
  if (msg == WM_KILLFOCUS || (msg == WM_ACTIVATE && wparam == WA_INACTIVE)) {
    PostMessage(WM_CLOSE, 0, 0);  // closes when it loses the focus
  } else if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
    // A drop-down sees the presses anywhere on the screen while it is open:
    // one outside it is a click elsewhere, which closes it too.
    const int x = static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(lparam)));
    const int y = static_cast<std::int16_t>(HiWord(static_cast<std::uintptr_t>(lparam)));
    if (!GetClientRect().Contains({x, y})) {
      PostMessage(WM_CLOSE, 0, 0);
      handled = true;
    }
  }
  return 0;
}

void CSkinFrame::SelectPage(int page) {
  if (CControlUI* control = m_pm.FindControl(kSkinTabName)) {
    if (auto* tab = static_cast<CTabLayoutUI*>(control->GetInterface("TabLayout"))) tab->SelectItem(page);
  }
}

void CSkinFrame::Notify(TNotifyUI& msg) {
  // The page switches may be options of one group: their selection counts
  // like a click.
  if (msg.sType == kNotifySelectChanged && msg.pSender != nullptr && msg.wParam == 1) {
    const std::string& name = msg.pSender->GetName();
    if (name == kSkinColorPageName) SelectPage(1);
    if (name == kSkinImagePageName) SelectPage(0);
    return;
  }
  WindowImplBase::Notify(msg);
}

void CSkinFrame::OnClick(TNotifyUI& msg) {
  const std::string& name = msg.pSender->GetName();
  if (name == kSkinImageBtnName) {
    const std::string image = msg.pSender->GetUserData();
    if (image.empty()) return;  // an item without an image name changes nothing
    BroadcastSkin({false, 0, image});
    RememberSkin(1, image);
  } else if (name == kSkinColorBtnName) {
    BroadcastSkin({true, msg.pSender->GetBkColor(), {}});
    // Remembered too: a colour the user picked is as much a choice as an image.
    RememberSkin(2, "");
    WriteSkinKey(kSkinIniColor, ColorText(msg.pSender->GetBkColor()));
  } else if (name == kSkinColorPageName) {
    SelectPage(1);
  } else if (name == kSkinImagePageName) {
    SelectPage(0);
  } else if (name == kSkinResetName) {
    BroadcastSkin({false, 0, kDefaultBackgroundImage});
    RememberSkin(0, kDefaultBackgroundImage);
  } else if (name == kSkinCustomName) {
    // The chooser closes first and the file dialog runs from the queue,
    // owned by the main window: a dialog run inside this click would run
    // its own loop while this window's paint manager is still dispatching,
    // and the chooser may be destroyed in that loop.
    const HWND main_wnd = main_wnd_;
    Close(0);
    CMessageQueue::Instance().PostCallback([main_wnd] {
      std::string path;
      if (ShowOpenFileDialog(main_wnd, kSkinCustomFilter, "png", "*.png", &path) && !path.empty())
        BroadcastSkin({false, 0, path});
    });
  }
}

}  // namespace trx::ui
