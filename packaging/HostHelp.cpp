// What varkel-host.exe prints for --help and --version, natively, for help2man's man page.

#include "core/HostOptions.h"

#include <cstdio>

int main(int argc, char** argv) {
    const auto options = varkel::host::ParseHostOptions({argv + 1, argv + argc});
    const auto text = options.version ? varkel::host::VersionText() : varkel::host::UsageText();
    return std::fputs(text.c_str(), stdout) < 0 ? 1 : 0;
}
