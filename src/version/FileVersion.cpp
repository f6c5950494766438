#include "version/FileVersion.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace varkel {

FixedFileInfo ReadFixedFileInfo(VersionApiPort& versions, const Text& path) {
    FixedFileInfo info;
    auto size = versions.VersionInfoSize(path);
    if (size == 0) {
        return info;
    }
    size = std::min(size, VersionResourceReadLimit);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size) + 1);
    versions.ReadVersionInfo(path, size, buffer.data());
    const auto root = versions.QueryRootBlock(buffer);
    if (!root || root->size() < FixedFileInfo::Size) {
        return info;
    }
    FixedFileInfo read;
    std::memcpy(read.values.data(), root->data(), FixedFileInfo::Size);
    return read.Signature() == FixedFileInfo::ExpectedSignature ? read : info;
}

Text FormatVersionPair(std::uint32_t value) {
    return DecimalText(value >> 16) + u"." + DecimalText(value & 0xFFFF);
}

Text GetFileVersionText(VersionApiPort& versions, const Text& path) {
    if (path.empty()) {
        return {};
    }
    const auto info = ReadFixedFileInfo(versions, path);
    return FormatVersionPair(info.FileVersionMS()) + u"." + FormatVersionPair(info.FileVersionLS());
}

} // namespace varkel
