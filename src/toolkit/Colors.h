#pragma once
// OLE_COLOR values: the top bit set names a system colour by the index in the low byte,
// anything else is 0x00BBGGRR. And the pair of colours a control is painted in under the
// user's colour scheme, decided here so that every scheme can be checked without a display.

#include <cstdint>
#include <optional>

namespace varkel {

using OleColor = std::uint32_t;
using Rgb = std::uint32_t; // 0x00BBGGRR, as the platform's COLORREF

namespace Colors {
inline constexpr OleColor Window = 0x80000005;     // COLOR_WINDOW: value accepted
inline constexpr OleColor ButtonFace = 0x8000000F; // COLOR_BTNFACE: switched off
inline constexpr OleColor Attention = 0x0080FFFF;  // RGB(255, 255, 128): empty or refused
inline constexpr Rgb Black = 0x00000000;
} // namespace Colors

inline constexpr bool IsSystemColor(OleColor color) {
    return (color & 0x80000000u) != 0;
}
inline constexpr int SystemColorIndex(OleColor color) {
    return static_cast<int>(color & 0xFF);
}

// The system colours the page paints with, as the user's scheme has them now.
struct ColorScheme {
    bool highContrast = false;
    Rgb window = 0, windowText = 0, buttonFace = 0, buttonText = 0;
    Rgb highlight = 0, highlightText = 0;
};

struct PaintColors {
    Rgb back;
    Rgb text;
};

// The contrast between two colours as the accessibility guidelines define it, from 1 (none)
// to 21 (black on white), from the colours' relative luminance.
double ContrastRatio(Rgb first, Rgb second);

// What a control whose background is `back` is painted in: the scheme's own pairs for its
// system colours; a fixed colour (the attention yellow) keeps its hue with whichever of the
// window text and black reads better on it, and gives way to the scheme's highlight while
// high contrast is on. nullopt for a system colour the page does not use.
std::optional<PaintColors> PaintColorsFor(OleColor back, const ColorScheme& scheme);

} // namespace varkel
