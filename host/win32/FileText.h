#pragma once
// Batch files are stored in the system's ANSI code page, and so are the arguments the host
// reads from them. The page speaks UTF-16; these convert at that boundary. On the way back a
// character the code page cannot hold is refused instead of being written as "?", which would
// silently change an argument.

#include <string>
#include <string_view>

namespace varkel::host::win32 {

std::wstring WideFromFileText(std::string_view bytes);
// Throws HostError(CannotWrite) naming the text when the code page lacks one of its characters.
std::string FileTextFromWide(std::wstring_view wide);

} // namespace varkel::host::win32
