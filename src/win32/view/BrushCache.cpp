#include "win32/view/BrushCache.h"

#include <olectl.h>

namespace varkel::win32 {

std::optional<COLORREF> TranslateOleColor(OleColor color) {
    COLORREF translated = 0;
    if (FAILED(OleTranslateColor(color, nullptr, &translated))) {
        return std::nullopt;
    }
    return translated;
}

BrushCache::~BrushCache() {
    for (const auto& [color, brush] : brushes_) {
        DeleteObject(brush);
    }
}

HBRUSH BrushCache::BrushFor(COLORREF color) {
    for (const auto& [cached, brush] : brushes_) {
        if (cached == color) {
            return brush;
        }
    }
    HBRUSH brush = CreateSolidBrush(color);
    if (brush != nullptr) {
        brushes_.emplace_back(color, brush);
    }
    return brush;
}

} // namespace varkel::win32
