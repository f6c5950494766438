#include "version/PeVersionReader.h"

#include <algorithm>
#include <string_view>

namespace varkel {

namespace {

// Offsets are carried as 64-bit values so that offset + length never wraps, not even on a
// 32-bit build; they become indices only after they were found inside the view.

std::optional<ByteView> Slice(ByteView bytes, std::uint64_t offset, std::uint64_t length) {
    if (offset > bytes.size() || length > bytes.size() - offset) {
        return std::nullopt;
    }
    return bytes.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
}

std::optional<std::uint16_t> ReadU16(ByteView bytes, std::uint64_t offset) {
    const auto field = Slice(bytes, offset, 2);
    if (!field) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>((*field)[0] | ((*field)[1] << 8));
}

std::optional<std::uint32_t> ReadU32(ByteView bytes, std::uint64_t offset) {
    const auto field = Slice(bytes, offset, 4);
    if (!field) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>((*field)[0]) |
           (static_cast<std::uint32_t>((*field)[1]) << 8) |
           (static_cast<std::uint32_t>((*field)[2]) << 16) |
           (static_cast<std::uint32_t>((*field)[3]) << 24);
}

constexpr std::uint16_t DosMagic = 0x5A4D;    // "MZ"
constexpr std::uint32_t NtSignature = 0x4550; // "PE\0\0"
constexpr std::uint16_t Pe32Magic = 0x10B;
constexpr std::uint16_t Pe32PlusMagic = 0x20B;
constexpr std::uint32_t ResourceDirectoryIndex = 2;
constexpr std::uint32_t SectionHeaderSize = 40;
constexpr std::uint32_t HighBit = 0x80000000;
constexpr std::uint16_t VersionResourceType = 16; // RT_VERSION
constexpr std::uint16_t VersionResourceName = 1;  // VS_VERSION_INFO
constexpr std::uint16_t NeutralLanguage = 0x0000;
constexpr std::uint16_t UsEnglish = 0x0409;

struct Image {
    ByteView bytes;
    std::uint32_t resourceRva = 0;
    std::uint64_t sectionTable = 0;
    std::uint16_t sectionCount = 0;
};

struct Section {
    std::uint32_t virtualAddress;
    ByteView raw; // the section's raw data
};

// The section whose raw data holds `rva`. None when no section does, or when the file does
// not hold that section's raw data completely.
std::optional<Section> SectionHolding(const Image& image, std::uint32_t rva) {
    for (std::uint16_t index = 0; index < image.sectionCount; ++index) {
        const auto header = image.sectionTable + std::uint64_t{index} * SectionHeaderSize;
        const auto virtualAddress = ReadU32(image.bytes, header + 12);
        const auto rawSize = ReadU32(image.bytes, header + 16);
        const auto rawOffset = ReadU32(image.bytes, header + 20);
        if (!virtualAddress || !rawSize || !rawOffset) {
            return std::nullopt;
        }
        if (rva < *virtualAddress || rva - *virtualAddress >= *rawSize) {
            continue;
        }
        const auto raw = Slice(image.bytes, *rawOffset, *rawSize);
        if (!raw) {
            return std::nullopt;
        }
        return Section{*virtualAddress, *raw};
    }
    return std::nullopt;
}

// The file bytes behind [rva, rva + length), all inside one section's raw data.
std::optional<ByteView> MapRva(const Image& image, std::uint32_t rva, std::uint64_t length) {
    const auto section = SectionHolding(image, rva);
    if (!section) {
        return std::nullopt;
    }
    return Slice(section->raw, rva - section->virtualAddress, length);
}

// The resource section seen from the root directory onwards: directory offsets count from
// there and must stay inside the section.
std::optional<ByteView> ResourceTree(const Image& image) {
    const auto section = SectionHolding(image, image.resourceRva);
    if (!section) {
        return std::nullopt;
    }
    return section->raw.subspan(image.resourceRva - section->virtualAddress);
}

std::optional<Image> ReadHeaders(ByteView bytes) {
    if (ReadU16(bytes, 0) != DosMagic) {
        return std::nullopt;
    }
    const auto ntHeader = ReadU32(bytes, 0x3C);
    if (!ntHeader || ReadU32(bytes, *ntHeader) != NtSignature) {
        return std::nullopt;
    }
    const std::uint64_t fileHeader = std::uint64_t{*ntHeader} + 4;
    const auto sectionCount = ReadU16(bytes, fileHeader + 2);
    const auto optionalSize = ReadU16(bytes, fileHeader + 16);
    if (!sectionCount || !optionalSize) {
        return std::nullopt;
    }
    const std::uint64_t optionalHeader = fileHeader + 20;
    const auto optional = Slice(bytes, optionalHeader, *optionalSize);
    if (!optional) {
        return std::nullopt;
    }
    std::uint64_t countOffset = 0;
    switch (ReadU16(*optional, 0).value_or(0)) {
    case Pe32Magic:
        countOffset = 92;
        break;
    case Pe32PlusMagic:
        countOffset = 108;
        break;
    default:
        return std::nullopt;
    }
    const auto directoryCount = ReadU32(*optional, countOffset);
    if (!directoryCount || *directoryCount <= ResourceDirectoryIndex) {
        return std::nullopt;
    }
    const auto resourceRva = ReadU32(*optional, countOffset + 4 + ResourceDirectoryIndex * 8);
    if (!resourceRva || *resourceRva == 0) {
        return std::nullopt;
    }

    Image image;
    image.bytes = bytes;
    image.resourceRva = *resourceRva;
    image.sectionTable = optionalHeader + *optionalSize;
    image.sectionCount = *sectionCount;
    if (!Slice(bytes, image.sectionTable, std::uint64_t{image.sectionCount} * SectionHeaderSize)) {
        return std::nullopt;
    }
    return image;
}

struct DirectoryEntry {
    std::uint32_t name;
    std::uint32_t target;
    bool IsNamed() const { return (name & HighBit) != 0; }
    bool IsDirectory() const { return (target & HighBit) != 0; }
    std::uint32_t TargetOffset() const { return target & ~HighBit; }
};

// The entries of the resource directory at `offset`, all inside the tree.
class Directory {
public:
    static std::optional<Directory> At(ByteView tree, std::uint64_t offset) {
        const auto named = ReadU16(tree, offset + 12);
        const auto ids = ReadU16(tree, offset + 14);
        if (!named || !ids) {
            return std::nullopt;
        }
        const std::uint64_t count = std::uint64_t{*named} + *ids;
        const auto entries = Slice(tree, offset + 16, count * 8);
        if (!entries) {
            return std::nullopt;
        }
        return Directory(*entries);
    }

    std::size_t Count() const { return entries_.size() / 8; }
    DirectoryEntry Entry(std::size_t index) const {
        return {ReadU32(entries_, index * 8).value_or(0),
                ReadU32(entries_, index * 8 + 4).value_or(0)};
    }

    // The entry with numeric name `id` whose target is of the kind wanted.
    std::optional<DirectoryEntry> FindId(std::uint16_t id, bool wantDirectory) const {
        for (std::size_t index = 0; index < Count(); ++index) {
            const auto entry = Entry(index);
            if (!entry.IsNamed() && entry.name == id && entry.IsDirectory() == wantDirectory) {
                return entry;
            }
        }
        return std::nullopt;
    }

    std::optional<DirectoryEntry> FirstData() const {
        for (std::size_t index = 0; index < Count(); ++index) {
            if (!Entry(index).IsDirectory()) {
                return Entry(index);
            }
        }
        return std::nullopt;
    }

private:
    explicit Directory(ByteView entries) : entries_(entries) {}
    ByteView entries_;
};

} // namespace

std::optional<ByteView> FindVersionResource(ByteView bytes) {
    const auto image = ReadHeaders(bytes);
    if (!image) {
        return std::nullopt;
    }
    const auto tree = ResourceTree(*image);
    if (!tree) {
        return std::nullopt;
    }
    const auto types = Directory::At(*tree, 0);
    const auto type = types ? types->FindId(VersionResourceType, true) : std::nullopt;
    const auto names = type ? Directory::At(*tree, type->TargetOffset()) : std::nullopt;
    const auto name = names ? names->FindId(VersionResourceName, true) : std::nullopt;
    const auto languages = name ? Directory::At(*tree, name->TargetOffset()) : std::nullopt;
    if (!languages) {
        return std::nullopt;
    }
    auto language = languages->FindId(NeutralLanguage, false);
    if (!language) {
        language = languages->FindId(UsEnglish, false);
    }
    if (!language) {
        language = languages->FirstData();
    }
    if (!language) {
        return std::nullopt;
    }
    const auto dataRva = ReadU32(*tree, language->TargetOffset());
    const auto dataSize = ReadU32(*tree, std::uint64_t{language->TargetOffset()} + 4);
    if (!dataRva || !dataSize) {
        return std::nullopt;
    }
    return MapRva(*image, *dataRva, *dataSize);
}

std::optional<ByteView> FindRootBlockValue(ByteView versionInfo) {
    static constexpr std::u16string_view Key = u"VS_VERSION_INFO";
    const auto length = ReadU16(versionInfo, 0);
    const auto valueLength = ReadU16(versionInfo, 2);
    if (!length || !valueLength) {
        return std::nullopt;
    }
    const ByteView block = versionInfo.first(std::min<std::size_t>(*length, versionInfo.size()));
    constexpr std::uint64_t KeyOffset = 6;
    for (std::size_t index = 0; index <= Key.size(); ++index) {
        const auto unit = ReadU16(block, KeyOffset + 2 * index);
        const char16_t expected = index < Key.size() ? Key[index] : u'\0';
        if (!unit || *unit != expected) {
            return std::nullopt;
        }
    }
    // The value starts on the next 32-bit boundary after the key's terminator.
    const std::uint64_t valueOffset = (KeyOffset + 2 * (Key.size() + 1) + 3) & ~std::uint64_t{3};
    return Slice(block, valueOffset, *valueLength);
}

} // namespace varkel
