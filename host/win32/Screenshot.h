#pragma once
// A PNG picture of a window's client area as it is on the screen, or of a bitmap, encoded by
// GDI+.

#include <windows.h>

#include <filesystem>

namespace varkel::host::win32 {

// Throws HostError(CannotWrite) when the picture cannot be taken or written.
void SaveClientAreaPicture(HWND window, const std::filesystem::path& png);
// The same for a picture already in a bitmap (not selected into a device context).
void SaveBitmapPicture(HBITMAP bitmap, const std::filesystem::path& png);

} // namespace varkel::host::win32
