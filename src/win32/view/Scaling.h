#pragma once
// Device units for the page's layout: twips (1440 to the inch) and points (72 to the inch) at
// a given number of dots per inch. Header only and free of Windows headers, so that the
// arithmetic can be checked on its own.

namespace varkel::win32 {

inline constexpr int TwipsPerInch = 1440;
inline constexpr int CentipointsPerInch = 7200;

// Rounds half away from zero, as MulDiv does.
constexpr int ScaleRounded(long long value, int numerator, int denominator) {
    const long long scaled = value * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / denominator
                                        : -((-scaled + half) / denominator));
}

// Convert edges, not sizes: a width is the difference of its two converted edges, so that
// controls that touch or overlap in twips still touch or overlap by the same amount in pixels.
constexpr int TwipsToPixels(int twips, int dpi) {
    return ScaleRounded(twips, dpi, TwipsPerInch);
}

// The height CreateFont takes for a font of this size: negative, so that it means the
// character height rather than the cell height, as a point size does.
constexpr int FontHeightForPoints(int centipoints, int dpi) {
    return -ScaleRounded(centipoints, dpi, CentipointsPerInch);
}

} // namespace varkel::win32
