#include "pages/lighting_preview.h"

namespace trx::pages {

namespace {
ILightingPreview* g_preview = nullptr;  // UI thread only
}

void SetLightingPreview(ILightingPreview* preview) { g_preview = preview; }
ILightingPreview* LightingPreview() { return g_preview; }

}  // namespace trx::pages
