#include "ui/window/window_backend.h"

namespace trx::ui {
namespace {
IWindowBackend* g_backend = nullptr;
UiRect g_work_area{0, 0, 1920, 1040};
UiPoint g_cursor{0, 0};
}  // namespace

void SetWindowBackend(IWindowBackend* backend) { g_backend = backend; }
IWindowBackend* GetWindowBackend() { return g_backend; }
void SetHeadlessWorkArea(const UiRect& rc) { g_work_area = rc; }
void SetHeadlessCursorPos(UiPoint pt) { g_cursor = pt; }
UiRect CurrentWorkArea() { return g_backend ? g_backend->WorkArea() : g_work_area; }
UiPoint CurrentCursorPos() { return g_backend ? g_backend->CursorPos() : g_cursor; }

}  // namespace trx::ui
