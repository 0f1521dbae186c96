#include "ui/dialogs/skin_observer.h"

namespace trx::ui {

SkinChangedObserver& SkinObserver() {
  // Never destroyed: receivers may still unregister during static
  // destruction at exit.
  static auto* observer = new SkinChangedObserver;
  return *observer;
}

}  // namespace trx::ui
