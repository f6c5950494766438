#pragma once
// OLE_COLOR values: the top bit set names a system colour by the index in the low byte,
// anything else is 0x00BBGGRR.

#include <cstdint>

namespace varkel {

using OleColor = std::uint32_t;

namespace Colors {
inline constexpr OleColor Window = 0x80000005;     // COLOR_WINDOW: value accepted
inline constexpr OleColor ButtonFace = 0x8000000F; // COLOR_BTNFACE: switched off
inline constexpr OleColor Attention = 0x0080FFFF;  // RGB(255, 255, 128): empty or refused
} // namespace Colors

inline constexpr bool IsSystemColor(OleColor color) {
    return (color & 0x80000000u) != 0;
}
inline constexpr int SystemColorIndex(OleColor color) {
    return static_cast<int>(color & 0xFF);
}

} // namespace varkel
