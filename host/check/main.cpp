// varkel-check: the page's rules over many start-up files (see its --help).

#include "CheckProgram.h"

#include <exception>

#ifdef _WIN32
#include "core/TextCodec.h"

#include <fcntl.h>
#include <io.h>

int wmain(int argc, wchar_t** argv) {
    // No "\n" -> "\r\n" translation: reports are compared byte for byte.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(varkel::host::Utf8FromWide(argv[i]));
    }
#else
int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
#endif
    try {
        return varkel::check::RunCheck(arguments, stdout, stderr);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "varkel-check: unexpected failure: %s\n", error.what());
        return static_cast<int>(varkel::check::CheckExit::Failed);
    }
}
