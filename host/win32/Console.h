#pragma once
// The host's text output. Standard output carries only what --print asks for, byte for byte in
// the file's encoding; everything said to people goes to standard error, prefixed with the
// program's name.

#include <string>
#include <string_view>

namespace varkel::host::win32 {

void PrepareConsole(); // no "\n" -> "\r\n" translation: output is compared byte for byte
void PrintLine(std::string_view bytes);
void Say(std::string_view utf8);

} // namespace varkel::host::win32
