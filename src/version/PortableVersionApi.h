#pragma once
// The version port over PE files read by the portable reader: what the native build uses in
// place of Version.dll. VersionInfoSize answers the size of the VS_VERSIONINFO resource
// itself (Version.dll answers a larger size that leaves room for its own conversions; callers
// only ever copy the resource into it).

#include "platform/VersionApiPort.h"
#include "version/FileVersion.h"

#include <functional>
#include <vector>

namespace varkel {

// The whole contents of a file; none when it cannot be read.
using FileBytes = std::optional<std::vector<std::uint8_t>>;
using FileReader = std::function<FileBytes(const Text& path)>;

class PortableVersionApi : public VersionApiPort {
public:
    PortableVersionApi(); // reads files from disk with ReadFileBytes
    explicit PortableVersionApi(FileReader reader);

    std::uint32_t VersionInfoSize(const Text& path) override;
    bool ReadVersionInfo(const Text& path, std::uint32_t length, std::uint8_t* buffer) override;
    std::optional<std::span<const std::uint8_t>>
    QueryRootBlock(std::span<const std::uint8_t> buffer) override;

private:
    FileReader reader_;
};

// Files larger than this are taken for having no version rather than read into memory.
inline constexpr std::uintmax_t PortableReaderFileLimit = 256u * 1024u * 1024u;

// Reads a file from disk. Where the platform separates folders with "/", a "\" in the path is
// taken as one, so that the page's "folder\name" paths work there too.
FileBytes ReadFileBytes(const Text& path);

// The fixed file information that ReadFixedFileInfo finds in a PE file with these contents;
// all zeros for anything else. Pure: the entry point for fuzzing the reader.
FixedFileInfo ReadFixedFileInfoFromImage(std::span<const std::uint8_t> image);

} // namespace varkel
