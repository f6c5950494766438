#pragma once
// Wraps a version port and records what its callers ask of it: the sizes answered, the lengths
// copied and the sizes of the buffers searched for the root block.

#include "platform/VersionApiPort.h"

#include <vector>

namespace varkel::testing {

class RecordingVersionApi : public VersionApiPort {
public:
    explicit RecordingVersionApi(VersionApiPort& inner) : inner_(inner) {}

    std::uint32_t VersionInfoSize(const Text& path) override {
        sizes.push_back(inner_.VersionInfoSize(path));
        return sizes.back();
    }
    bool ReadVersionInfo(const Text& path, std::uint32_t length, std::uint8_t* buffer) override {
        copied.push_back(length);
        return inner_.ReadVersionInfo(path, length, buffer);
    }
    std::optional<std::span<const std::uint8_t>>
    QueryRootBlock(std::span<const std::uint8_t> buffer) override {
        queried.push_back(buffer.size());
        return inner_.QueryRootBlock(buffer);
    }

    std::vector<std::uint32_t> sizes;
    std::vector<std::uint32_t> copied;
    std::vector<std::size_t> queried;

private:
    VersionApiPort& inner_;
};

} // namespace varkel::testing
