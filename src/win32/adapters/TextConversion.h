#pragma once
// Conversions between the core's Text (UTF-16) and the platform's strings. wchar_t is UTF-16
// on Windows, so wide strings are copies; narrow strings go through a code page.

#include "win32/adapters/Win32.h"

#include "common/Text.h"

#include <string>
#include <string_view>

namespace varkel::win32 {

std::wstring WideFromText(TextView text);
Text TextFromWide(std::wstring_view wide);
Text TextFromWide(const wchar_t* wide); // null is the empty text

// Characters the code page lacks become its default character, as the platform does it.
std::string NarrowFromText(TextView text, UINT codePage = CP_ACP);

} // namespace varkel::win32
