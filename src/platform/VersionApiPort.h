#pragma once
// Reading a file's version resource, shaped like Version.dll's narrow functions.

#include "common/Text.h"

#include <cstdint>
#include <optional>
#include <span>

namespace varkel {

class VersionApiPort {
public:
    virtual ~VersionApiPort() = default;
    // Size of the file's version resource; 0 when it has none (or the file cannot be read).
    virtual std::uint32_t VersionInfoSize(const Text& path) = 0;
    // Copies up to `length` bytes of the resource into `buffer`; false when that failed.
    virtual bool ReadVersionInfo(const Text& path, std::uint32_t length, std::uint8_t* buffer) = 0;
    // The root block ("\") inside a buffer filled by ReadVersionInfo; none when absent.
    virtual std::optional<std::span<const std::uint8_t>>
    QueryRootBlock(std::span<const std::uint8_t> buffer) = 0;
};

} // namespace varkel
