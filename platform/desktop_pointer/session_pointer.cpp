#include "platform/desktop_pointer/session_pointer.h"

#ifdef TRX770_KDE_POINTER
#include "platform/desktop_pointer/kde_pointer.h"
#endif

namespace trx::desktop {

std::unique_ptr<IDesktopPointer> OpenSessionDesktopPointer(const SessionInfo& session) {
#ifdef TRX770_KDE_POINTER
  return OpenDesktopPointer(session, [] { return CKdePointer::Open(); });
#else
  return OpenDesktopPointer(session);
#endif
}

}  // namespace trx::desktop
