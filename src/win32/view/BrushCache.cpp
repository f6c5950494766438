#include "win32/view/BrushCache.h"

namespace varkel::win32 {

ColorScheme SystemColorScheme() {
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof(highContrast);
    const bool on =
        SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(highContrast), &highContrast, 0) &&
        (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    return ColorScheme{on,
                       GetSysColor(COLOR_WINDOW),
                       GetSysColor(COLOR_WINDOWTEXT),
                       GetSysColor(COLOR_BTNFACE),
                       GetSysColor(COLOR_BTNTEXT),
                       GetSysColor(COLOR_HIGHLIGHT),
                       GetSysColor(COLOR_HIGHLIGHTTEXT)};
}

HBRUSH BrushCache::BrushFor(COLORREF color) {
    for (const auto& [cached, brush] : brushes_) {
        if (cached == color) {
            return brush.Get();
        }
    }
    UniqueHbrush brush(CreateSolidBrush(color));
    if (!brush) {
        return nullptr;
    }
    return brushes_.emplace_back(color, std::move(brush)).second.Get();
}

} // namespace varkel::win32
