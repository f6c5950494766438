#pragma once
// What the host tells the stand-in host objects ("Nuxworks.Class1" and
// "DAZir.QXInterfaceSettings") before the page is created: the page reads the interface it
// edits from them at start-up. The stand-ins answer from a per-user registry key.

#include <filesystem>
#include <string>

namespace varkel::host::win32 {

struct HostState {
    std::wstring interfaceName;
    std::filesystem::path installPath;
    std::wstring binaryName; // without ".exe"
};

// Throws HostError(Hosting) when the key cannot be written.
void PublishHostState(const HostState& state);

} // namespace varkel::host::win32
