#pragma once
// Version.dll's narrow functions. Paths are converted to the system's code page, as the
// narrow functions take them.

#include "win32/adapters/Win32.h"

#include "platform/VersionApiPort.h"

namespace varkel::win32 {

class Win32VersionApi final : public VersionApiPort {
public:
    std::uint32_t VersionInfoSize(const Text& path) override;
    bool ReadVersionInfo(const Text& path, std::uint32_t length, std::uint8_t* buffer) override;
    std::optional<std::span<const std::uint8_t>>
    QueryRootBlock(std::span<const std::uint8_t> buffer) override;
};

} // namespace varkel::win32
