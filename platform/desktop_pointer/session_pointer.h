#pragma once
// The pointer-settings backend of the running session, with every backend
// this build has (KDE Plasma's where the build links Qt D-Bus). The one
// place that knows which backends are built in; the program and
// trx770ctl open their backend through it.
//
// Thread: the caller's; the KDE backend must then be used on that thread
// (its QtDBus connection is the thread's).

#include <memory>

#include "platform/desktop_pointer/desktop_pointer.h"
#include "platform/desktop_pointer/session.h"

namespace trx::desktop {

// Never null (CNoDesktopPointer at worst).
std::unique_ptr<IDesktopPointer> OpenSessionDesktopPointer(const SessionInfo& session = SessionFromEnvironment());

}  // namespace trx::desktop
