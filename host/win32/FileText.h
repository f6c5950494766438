#pragma once
// Batch files are stored in the system's ANSI code page, and so are the arguments the host
// reads from them. The page speaks UTF-16; these convert at that boundary. On the way back a
// character the code page cannot hold is refused instead of being written as "?", which would
// silently change an argument.

#include <string>
#include <string_view>

namespace varkel::host::win32 {

// The code page start-up files are read in by default: the ANSI code page unless
// --code-page set another for this process.
unsigned FileCodePage();
void SetFileCodePage(unsigned codePage);

std::wstring WideFromFileText(std::string_view bytes, unsigned codePage = FileCodePage());
// Throws HostError(CannotWrite) naming the text when the code page lacks one of its characters.
std::string FileTextFromWide(std::wstring_view wide, unsigned codePage = FileCodePage());

} // namespace varkel::host::win32
