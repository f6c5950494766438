#include "Console.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace varkel::host::win32 {

void PrepareConsole() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void PrintLine(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Say(std::string_view utf8) {
    std::fputs("varkel-host: ", stderr);
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace varkel::host::win32
