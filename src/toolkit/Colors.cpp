#include "toolkit/Colors.h"

#include <cmath>

namespace varkel {

namespace {
constexpr int WindowIndex = 5;
constexpr int ButtonFaceIndex = 15;

double Linear(Rgb color, int shift) {
    const double channel = static_cast<double>((color >> shift) & 0xFF) / 255.0;
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(Rgb color) {
    return 0.2126 * Linear(color, 0) + 0.7152 * Linear(color, 8) + 0.0722 * Linear(color, 16);
}
} // namespace

double ContrastRatio(Rgb first, Rgb second) {
    const double a = RelativeLuminance(first) + 0.05;
    const double b = RelativeLuminance(second) + 0.05;
    return a > b ? a / b : b / a;
}

std::optional<PaintColors> PaintColorsFor(OleColor back, const ColorScheme& scheme) {
    if (IsSystemColor(back)) {
        switch (SystemColorIndex(back)) {
        case WindowIndex:
            return PaintColors{scheme.window, scheme.windowText};
        case ButtonFaceIndex:
            return PaintColors{scheme.buttonFace, scheme.buttonText};
        default:
            return std::nullopt;
        }
    }
    if (scheme.highContrast) {
        return PaintColors{scheme.highlight, scheme.highlightText};
    }
    const Rgb fixed = back & 0x00FFFFFF;
    const bool windowTextReads =
        ContrastRatio(scheme.windowText, fixed) >= ContrastRatio(Colors::Black, fixed);
    return PaintColors{fixed, windowTextReads ? scheme.windowText : Colors::Black};
}

} // namespace varkel
