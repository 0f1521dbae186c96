#include "ui/qt/qt_input_capture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "platform/key_translation.h"

namespace trx::ui::qt {

QtInputCapture::~QtInputCapture() { Stop(); }

bool QtInputCapture::Start(CDeviceHook& hook, bool keyboard, bool mouse) {
  if (QCoreApplication::instance() == nullptr) return false;
  hook_ = &hook;
  keyboard_ = keyboard;
  mouse_ = mouse;
  UpdateFilter();
  return true;
}

void QtInputCapture::Stop() {
  hook_ = nullptr;
  UpdateFilter();
}

void QtInputCapture::SetKeyObserver(IKeyObserver* observer) {
  observer_ = observer;
  UpdateFilter();
}

void QtInputCapture::UpdateFilter() {
  QCoreApplication* app = QCoreApplication::instance();
  const bool wanted = app != nullptr && (hook_ != nullptr || observer_ != nullptr);
  if (wanted && !installed_) app->installEventFilter(this);
  if (!wanted && installed_ && app != nullptr) app->removeEventFilter(this);
  installed_ = wanted;
}

bool QtInputCapture::RecordFromKeyEvent(const QKeyEvent& e, uint32_t& wparam, KeyEventRecord& r) {
  const auto t = TranslateXKeycode(e.nativeScanCode());
  if (!t) return false;
  const bool down = e.type() == QEvent::KeyPress;
  const Qt::KeyboardModifiers mods = e.modifiers();
  const bool alt_key = t->vk_code == 0xA4 || t->vk_code == 0xA5;
  const bool system = (alt_key || (mods & Qt::AltModifier)) && !(mods & Qt::ControlModifier);
  wparam = down ? (system ? kWmSysKeyDown : kWmKeyDown) : (system ? kWmSysKeyUp : kWmKeyUp);
  r.vk_code = t->vk_code;
  r.scan_code = t->scan_code;
  r.flags = (t->extended ? kKeyFlagExtended : 0u) | (down ? 0u : kKeyFlagUp);
  r.time = static_cast<uint32_t>(e.timestamp());
  r.extra_info = 0;
  return true;
}

uint32_t QtInputCapture::MessageFromMouseEvent(const QEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
      const bool down = event.type() == QEvent::MouseButtonPress;
      switch (static_cast<const QMouseEvent&>(event).button()) {
        case Qt::LeftButton: return down ? kWmLButtonDown : kWmLButtonUp;
        case Qt::RightButton: return down ? kWmRButtonDown : kWmRButtonUp;
        case Qt::MiddleButton: return down ? kWmMButtonDown : kWmMButtonUp;
        case Qt::BackButton:
        case Qt::ForwardButton: return down ? kWmXButtonDown : kWmXButtonUp;
        default: return 0;
      }
    }
    case QEvent::MouseMove: return kWmMouseMove;
    case QEvent::Wheel: return kWmMouseWheel;
    default: return 0;
  }
}

bool QtInputCapture::eventFilter(QObject* watched, QEvent* event) {
  // The native window sees each event first; the widgets get it after.
  if (watched == nullptr || !watched->isWindowType()) return false;
  if (observer_ != nullptr && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    uint32_t wparam = 0;
    KeyEventRecord record;
    if (!key->isAutoRepeat() && RecordFromKeyEvent(*key, wparam, record)) observer_->OnKeyPressed(record);
  }
  if (hook_ == nullptr) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      if (!keyboard_) return false;
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->isAutoRepeat() && event->type() == QEvent::KeyRelease) return true;
      uint32_t wparam = 0;
      KeyEventRecord record;
      if (!RecordFromKeyEvent(*key, wparam, record)) return true;  // unknown keys are swallowed too
      return hook_->OnKeyboardEvent(wparam, record);
    }
    default: {
      if (!mouse_) return false;
      if (const uint32_t message = MessageFromMouseEvent(*event)) hook_->OnMouseEvent(message);
      return false;
    }
  }
}

}  // namespace trx::ui::qt
