// What varkel-host.exe prints for --help and --version, natively, for help2man's man page.

#include "core/HostOptions.h"

#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    const bool version = argc > 1 && std::string_view(argv[1]) == "--version";
    std::fputs((version ? varkel::host::VersionText() : varkel::host::UsageText()).c_str(), stdout);
    return 0;
}
