#pragma once
// A PNG picture of a window's client area as it is on the screen, encoded by GDI+.

#include <windows.h>

#include <filesystem>

namespace varkel::host::win32 {

// Throws HostError(CannotWrite) when the picture cannot be taken or written.
void SaveClientAreaPicture(HWND window, const std::filesystem::path& png);

} // namespace varkel::host::win32
