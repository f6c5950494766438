#include "win32/adapters/Win32.h"

#include "win32/adapters/VersionApi.h"

#include "win32/adapters/TextConversion.h"

namespace varkel::win32 {

std::uint32_t Win32VersionApi::VersionInfoSize(const Text& path) {
    const std::string narrowPath = NarrowFromText(path);
    DWORD handle = 0;
    return GetFileVersionInfoSizeA(narrowPath.c_str(), &handle);
}

bool Win32VersionApi::ReadVersionInfo(const Text& path, std::uint32_t length,
                                      std::uint8_t* buffer) {
    const std::string narrowPath = NarrowFromText(path);
    return GetFileVersionInfoA(narrowPath.c_str(), 0, length, buffer) != FALSE;
}

std::optional<std::span<const std::uint8_t>>
Win32VersionApi::QueryRootBlock(std::span<const std::uint8_t> buffer) {
    void* block = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!VerQueryValueA(buffer.data(), root, &block, &length) || block == nullptr) {
        return std::nullopt;
    }
    // Only a block that lies inside the buffer is handed on.
    const auto* first = static_cast<const std::uint8_t*>(block);
    if (first < buffer.data() || first > buffer.data() + buffer.size() ||
        length > static_cast<std::size_t>(buffer.data() + buffer.size() - first)) {
        return std::nullopt;
    }
    return std::span<const std::uint8_t>(first, length);
}

} // namespace varkel::win32
