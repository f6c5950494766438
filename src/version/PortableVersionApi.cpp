#include "version/PortableVersionApi.h"

#include "version/PeVersionReader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace varkel {

PortableVersionApi::PortableVersionApi() : reader_(ReadFileBytes) {}

PortableVersionApi::PortableVersionApi(FileReader reader) : reader_(std::move(reader)) {}

std::uint32_t PortableVersionApi::VersionInfoSize(const Text& path) {
    const auto bytes = reader_(path);
    if (!bytes) {
        return 0;
    }
    const auto resource = FindVersionResource(*bytes);
    // The resource's size came from a 32-bit field.
    return resource ? static_cast<std::uint32_t>(resource->size()) : 0;
}

bool PortableVersionApi::ReadVersionInfo(const Text& path, std::uint32_t length,
                                         std::uint8_t* buffer) {
    const auto bytes = reader_(path);
    if (!bytes) {
        return false;
    }
    const auto resource = FindVersionResource(*bytes);
    if (!resource) {
        return false;
    }
    std::memcpy(buffer, resource->data(), std::min<std::size_t>(length, resource->size()));
    return true;
}

std::optional<std::span<const std::uint8_t>>
PortableVersionApi::QueryRootBlock(std::span<const std::uint8_t> buffer) {
    return FindRootBlockValue(buffer);
}

FileBytes ReadFileBytes(const Text& path) {
    Text native = path;
    if constexpr (std::filesystem::path::preferred_separator == '/') {
        std::replace(native.begin(), native.end(), u'\\', u'/');
    }
    std::error_code error;
    std::filesystem::path file;
    try {
        file = std::filesystem::path(native);
    } catch (const std::system_error&) {
        return std::nullopt; // not representable in the platform's file names
    }
    const auto size = std::filesystem::file_size(file, error);
    if (error || size > PortableReaderFileLimit) {
        return std::nullopt;
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (stream.gcount() != static_cast<std::streamsize>(bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

FixedFileInfo ReadFixedFileInfoFromImage(std::span<const std::uint8_t> image) {
    PortableVersionApi versions([image](const Text&) -> FileBytes {
        return std::vector<std::uint8_t>(image.begin(), image.end());
    });
    return ReadFixedFileInfo(versions, u"image");
}

} // namespace varkel
