#pragma once
// The page's two fonts at the page's resolution: "Microsoft Sans Serif" 8.25 pt for every
// control, "Fixedsys" 9 pt for the one that asks for a fixed pitch. A face the system lacks is
// replaced by its closest match of the same pitch and family.

#include "page/Layout.h"

#include <windows.h>

namespace varkel::win32 {

class PageFonts {
public:
    explicit PageFonts(int dpi);
    PageFonts(const PageFonts&) = delete;
    PageFonts& operator=(const PageFonts&) = delete;
    ~PageFonts();

    HFONT For(const LayoutEntry& entry) const { return entry.fixedPitchFont ? fixed_ : sans_; }
    HFONT Sans() const { return sans_; }
    HFONT Fixed() const { return fixed_; }

private:
    HFONT sans_;
    HFONT fixed_;
};

} // namespace varkel::win32
