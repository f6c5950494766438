#include "win32/view/PageFonts.h"

#include "win32/view/Scaling.h"

namespace varkel::win32 {

namespace {
constexpr int SansCentipoints = 825;
constexpr int FixedCentipoints = 900;

UniqueHfont MakeFont(const wchar_t* face, int centipoints, int dpi, BYTE pitchAndFamily) {
    return UniqueHfont(CreateFontW(FontHeightForPoints(centipoints, dpi), 0, 0, 0, FW_NORMAL, FALSE,
                                   FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchAndFamily, face));
}
} // namespace

PageFonts::PageFonts(int dpi)
    : sans_(MakeFont(L"Microsoft Sans Serif", SansCentipoints, dpi, VARIABLE_PITCH | FF_SWISS)),
      fixed_(MakeFont(L"Fixedsys", FixedCentipoints, dpi, FIXED_PITCH | FF_MODERN)) {}

} // namespace varkel::win32
