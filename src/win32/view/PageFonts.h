#pragma once
// The page's two fonts at the page's resolution: "Microsoft Sans Serif" 8.25 pt for every
// control, "Fixedsys" 9 pt for the one that asks for a fixed pitch. A face the system lacks is
// replaced by its closest match of the same pitch and family.

#include "page/Layout.h"
#include "win32/adapters/UniqueHandle.h"

namespace varkel::win32 {

class PageFonts {
public:
    // Deleted with it: only after the windows that use them are gone, which their owner
    // destroys first.
    explicit PageFonts(int dpi);

    HFONT For(const LayoutEntry& entry) const { return entry.fixedPitchFont ? Fixed() : Sans(); }
    HFONT Sans() const { return sans_.Get(); }
    HFONT Fixed() const { return fixed_.Get(); }

private:
    UniqueHfont sans_;
    UniqueHfont fixed_;
};

} // namespace varkel::win32
