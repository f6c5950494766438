#pragma once
// A picture a test took, compared pixel for pixel with the one kept in tests/win32/pictures
// (scripts/update-pictures keeps the new ones after a deliberate change). Where they differ, a
// difference picture goes next to the new one: the differing pixels red over the kept picture.

#include "../../../host/win32/Screenshot.h"
#include "win32/adapters/UniqueHandle.h"

#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace varkel::testing {

// The picture's width, its height, then its pixels (0xAARRGGBB) row by row from the top.
inline std::vector<UINT32> ReadPicture(const std::filesystem::path& png) {
    Gdiplus::Bitmap image(png.wstring().c_str());
    const UINT width = image.GetWidth(), height = image.GetHeight();
    std::vector<UINT32> picture(2 + std::size_t{width} * height);
    picture[0] = width;
    picture[1] = height;
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData into{
        width, height, static_cast<INT>(width * 4), PixelFormat32bppARGB, picture.data() + 2, 0};
    return image.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                          PixelFormat32bppARGB, &into) == Gdiplus::Ok &&
                   image.UnlockBits(&into) == Gdiplus::Ok
               ? picture
               : std::vector<UINT32>{0, 0};
}

inline ::testing::AssertionResult MatchesKeptPicture(const std::filesystem::path& shot,
                                                     const std::string& kept) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR session = 0;
    Gdiplus::GdiplusStartup(&session, &input, nullptr);
    const auto taken = ReadPicture(shot);
    auto difference = ReadPicture(std::filesystem::path(VARKEL_KEPT_PICTURES) / (kept + ".png"));
    Gdiplus::GdiplusShutdown(session);
    if (taken.size() != difference.size() || taken[0] != difference[0] || taken.size() == 2) {
        return ::testing::AssertionFailure()
               << shot.string() << " is " << taken[0] << "x" << taken[1] << ", the kept " << kept
               << ".png " << difference[0] << "x" << difference[1]
               << " (0x0: unread): scripts/update-pictures keeps the new one";
    }
    RECT changed{static_cast<LONG>(taken[0]), 0, -1, -1}; // its top: the first one's row
    POINT first{};
    std::size_t count = 0;
    for (std::size_t at = 2; at < taken.size(); ++at) {
        if (difference[at] != taken[at]) {
            const LONG x = static_cast<LONG>((at - 2) % taken[0]);
            const LONG y = static_cast<LONG>((at - 2) / taken[0]);
            difference[at] = 0xFFFF0000;
            first = count++ == 0 ? POINT{x, y} : first;
            changed = {std::min(changed.left, x), first.y, std::max(changed.right, x), y};
        }
    }
    if (count == 0) {
        return ::testing::AssertionSuccess();
    }
    const win32::UniqueHbitmap bitmap(CreateBitmap(
        static_cast<int>(taken[0]), static_cast<int>(taken[1]), 1, 32, difference.data() + 2));
    std::filesystem::path differences = shot;
    host::win32::SaveBitmapPicture(bitmap.Get(),
                                   differences.replace_filename(shot.stem() += "-difference.png"));
    return ::testing::AssertionFailure()
           << shot.string() << " differs from the kept " << kept << ".png in " << count
           << " pixels, the first at (" << first.x << "," << first.y << "), all within ("
           << changed.left << "," << changed.top << ")-(" << changed.right << "," << changed.bottom
           << "); they are red in " << differences.string();
}

// The window's client area pictured as pictures/SHOT.png in the test's folder and compared; a
// SHOT of a picture kept under another name says which by a "+" (page-96dpi+moved).
inline ::testing::AssertionResult LooksAsKept(HWND window, const std::string& shot,
                                              const std::string& kept) {
    std::filesystem::create_directory("pictures");
    host::win32::SaveClientAreaPicture(window, "pictures/" + shot + ".png");
    return MatchesKeptPicture("pictures/" + shot + ".png", kept);
}

} // namespace varkel::testing
