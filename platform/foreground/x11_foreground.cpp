#include "platform/foreground/x11_foreground.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include "platform/debug_log.h"

namespace trx::foreground {

struct CX11ForegroundSource::XState {
  xcb_connection_t* connection = nullptr;
  xcb_window_t root = 0;
  xcb_atom_t active = 0;
  xcb_atom_t wm_pid = 0;
  xcb_window_t watched = 0;  // the active window while it lacks _NET_WM_PID
};

namespace {

xcb_atom_t InternAtom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : 0;
  std::free(reply);
  return atom;
}

// One 32-bit property of `type`; false when absent or the window is gone.
bool ReadCardinal(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type, uint32_t* value) {
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1), nullptr);
  const bool ok = reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) >= 4;
  if (ok) *value = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
  std::free(reply);
  return ok;
}

void SelectProperties(xcb_connection_t* c, xcb_window_t window, bool on) {
  const uint32_t mask = on ? XCB_EVENT_MASK_PROPERTY_CHANGE : XCB_EVENT_MASK_NO_EVENT;
  xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
}

}  // namespace

CX11ForegroundSource::CX11ForegroundSource(std::string display_name, std::string proc_root)
    : display_name_(std::move(display_name)), proc_root_(std::move(proc_root)) {}

CX11ForegroundSource::~CX11ForegroundSource() { Stop(); }

bool CX11ForegroundSource::Start(ForegroundUnavailable* why) {
  if (running_) return true;
  auto x = std::make_unique<XState>();
  int screen_number = 0;
  x->connection = xcb_connect(display_name_.empty() ? nullptr : display_name_.c_str(), &screen_number);
  if (xcb_connection_has_error(x->connection) != 0) {
    xcb_disconnect(x->connection);
    if (why != nullptr) *why = {kReasonX11, "the X display can't be opened"};
    return false;
  }
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(x->connection));
  for (int i = 0; i < screen_number && it.rem > 0; ++i) xcb_screen_next(&it);
  x->root = it.data->root;
  x->active = InternAtom(x->connection, "_NET_ACTIVE_WINDOW");
  x->wm_pid = InternAtom(x->connection, "_NET_WM_PID");
  SelectProperties(x->connection, x->root, true);
  xcb_flush(x->connection);
  x_ = std::move(x);
  ReadActive();
  stop_.ResetEvent();
  running_ = true;
  watcher_ = std::thread([this] { Watch(); });
  return true;
}

void CX11ForegroundSource::Stop() {
  if (!running_) return;
  stop_.Set();
  if (watcher_.joinable()) watcher_.join();
  xcb_disconnect(x_->connection);
  x_.reset();
  running_ = false;
  pid_ = 0;
}

void CX11ForegroundSource::ReadActive() {
  ++reads_;
  XState& x = *x_;
  uint32_t window = 0;
  int pid = 0;
  if (ReadCardinal(x.connection, x.root, x.active, XCB_ATOM_WINDOW, &window) && window != 0) {
    uint32_t value = 0;
    pid = ReadCardinal(x.connection, window, x.wm_pid, XCB_ATOM_CARDINAL, &value) ? static_cast<int>(value) : -1;
  }
  // A window that gets its pid after it was activated: follow its
  // properties until it has one.
  const xcb_window_t wanted = pid < 0 ? window : 0;
  if (wanted != x.watched) {
    if (x.watched != 0) SelectProperties(x.connection, x.watched, false);
    if (wanted != 0) SelectProperties(x.connection, wanted, true);
    x.watched = wanted;
    xcb_flush(x.connection);
  }
  pid_ = pid;
}

void CX11ForegroundSource::Watch() {
  XState& x = *x_;
  pollfd fds[2] = {{xcb_get_file_descriptor(x.connection), POLLIN, 0}, {stop_.Fd(), POLLIN, 0}};
  while (!stop_.IsSet()) {
    bool reread = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(x.connection)) {
      if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
        const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if ((p->window == x.root && p->atom == x.active) || (p->window == x.watched && p->atom == x.wm_pid))
          reread = true;
      }
      std::free(event);
    }
    if (xcb_connection_has_error(x.connection) != 0) {
      DebugLine("X connection lost: the program in front is no longer followed");
      pid_ = 0;
      changes_.Changed();  // the waiters look at once
      break;
    }
    if (reread) {
      ReadActive();
      changes_.Changed();
      continue;  // events that arrived with the replies are queued already
    }
    fds[0].revents = fds[1].revents = 0;
    poll(fds, 2, -1);
  }
}

ForegroundResult CX11ForegroundSource::Current() {
  if (!running_) return {ForegroundStatus::Unknown, {}, "not started"};
  const int pid = pid_.load();
  if (pid == 0) return {ForegroundStatus::None, {}, {}};
  return ResultForPid(pid, proc_root_);
}

}  // namespace trx::foreground
