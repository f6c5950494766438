#pragma once
// Builds small PE files in memory: headers, one resource section, the resource directory tree
// and version blocks. Tests of the version reader corrupt single fields of what it builds; the
// layout tells them where each structure lies.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

namespace varkel::testing {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

inline void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    PutU16(bytes, offset, static_cast<std::uint16_t>(value));
    PutU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

// A VS_VERSIONINFO block: header, key "VS_VERSION_INFO", padding, the 52-byte fixed file
// information for this file version, then `childBytes` bytes standing for the children.
inline Bytes VersionInfoBlock(std::uint32_t versionMS, std::uint32_t versionLS,
                              std::size_t childBytes = 0) {
    static constexpr char16_t key[] = u"VS_VERSION_INFO";
    Bytes block(40 + 52 + childBytes);
    PutU16(block, 0, static_cast<std::uint16_t>(block.size()));
    PutU16(block, 2, 52);
    PutU16(block, 4, 0);
    for (std::size_t index = 0; index < sizeof key / sizeof key[0]; ++index) {
        PutU16(block, 6 + 2 * index, key[index]);
    }
    PutU32(block, 40, 0xFEEF04BD);
    PutU32(block, 44, 0x00010000);
    PutU32(block, 48, versionMS);
    PutU32(block, 52, versionLS);
    return block;
}

struct ResourceSpec {
    std::uint16_t type;
    std::uint16_t name;
    std::uint16_t language;
    Bytes data;
};

// Where the structures of a built image lie (file offsets).
struct PeImage {
    Bytes bytes;
    std::size_t ntHeader = 0;              // "PE\0\0"
    std::size_t optionalHeader = 0;        // magic
    std::size_t resourceDataDirectory = 0; // virtual address, size
    std::size_t sectionHeader = 0;         // the resource section's header
    std::size_t resourceRoot = 0;          // the root directory
    std::vector<std::size_t> typeEntries;  // entries of the root directory
    std::vector<std::size_t> dataEntries;  // in the order of the resources given
    std::vector<std::size_t> data;         // the resources' bytes, same order
};

inline constexpr std::uint32_t ResourceSectionRva = 0x1000;

// A PE32 (or PE32+) file with a single section holding these resources.
inline PeImage BuildPeImage(const std::vector<ResourceSpec>& resources, bool pe32Plus = false) {
    // type -> name -> language -> index into resources
    std::map<std::uint16_t, std::map<std::uint16_t, std::map<std::uint16_t, std::size_t>>> tree;
    for (std::size_t index = 0; index < resources.size(); ++index) {
        const auto& resource = resources[index];
        tree[resource.type][resource.name][resource.language] = index;
    }

    // Directories first, then the data entries, then the data.
    std::size_t size = 16 + 8 * tree.size();
    std::map<std::uint16_t, std::size_t> typeDirectories;
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::size_t> nameDirectories;
    for (const auto& [type, names] : tree) {
        typeDirectories[type] = size;
        size += 16 + 8 * names.size();
    }
    for (const auto& [type, names] : tree) {
        for (const auto& [name, languages] : names) {
            nameDirectories[{type, name}] = size;
            size += 16 + 8 * languages.size();
        }
    }
    std::vector<std::size_t> dataEntries(resources.size());
    for (auto& entry : dataEntries) {
        entry = size;
        size += 16;
    }
    std::vector<std::size_t> dataOffsets(resources.size());
    for (std::size_t index = 0; index < resources.size(); ++index) {
        dataOffsets[index] = size;
        size += (resources[index].data.size() + 3) & ~std::size_t{3};
    }
    const std::size_t rawSize = (size + 0x1FF) & ~std::size_t{0x1FF};

    PeImage image;
    const std::size_t optionalSize = pe32Plus ? 240 : 224;
    image.ntHeader = 0x40;
    image.optionalHeader = image.ntHeader + 24;
    image.resourceDataDirectory = image.optionalHeader + (pe32Plus ? 112 : 96) + 2 * 8;
    image.sectionHeader = image.optionalHeader + optionalSize;
    image.resourceRoot = 0x200;
    Bytes& bytes = image.bytes;
    bytes.assign(image.resourceRoot + rawSize, 0);

    bytes[0] = 'M';
    bytes[1] = 'Z';
    PutU32(bytes, 0x3C, static_cast<std::uint32_t>(image.ntHeader));
    bytes[image.ntHeader] = 'P';
    bytes[image.ntHeader + 1] = 'E';
    PutU16(bytes, image.ntHeader + 4, 0x14C);
    PutU16(bytes, image.ntHeader + 6, 1);
    PutU16(bytes, image.ntHeader + 20, static_cast<std::uint16_t>(optionalSize));
    PutU16(bytes, image.optionalHeader, pe32Plus ? 0x20B : 0x10B);
    PutU32(bytes, image.optionalHeader + (pe32Plus ? 108 : 92), 16);
    PutU32(bytes, image.resourceDataDirectory, ResourceSectionRva);
    PutU32(bytes, image.resourceDataDirectory + 4, static_cast<std::uint32_t>(size));
    std::memcpy(&bytes[image.sectionHeader], ".rsrc", 5);
    PutU32(bytes, image.sectionHeader + 8, static_cast<std::uint32_t>(size));
    PutU32(bytes, image.sectionHeader + 12, ResourceSectionRva);
    PutU32(bytes, image.sectionHeader + 16, static_cast<std::uint32_t>(rawSize));
    PutU32(bytes, image.sectionHeader + 20, static_cast<std::uint32_t>(image.resourceRoot));

    const auto root = image.resourceRoot;
    auto putDirectory = [&](std::size_t at, std::size_t count) {
        PutU16(bytes, root + at + 14, static_cast<std::uint16_t>(count));
    };
    putDirectory(0, tree.size());
    std::size_t typeIndex = 0;
    for (const auto& [type, names] : tree) {
        const auto entry = root + 16 + 8 * typeIndex++;
        image.typeEntries.push_back(entry);
        PutU32(bytes, entry, type);
        PutU32(bytes, entry + 4, 0x80000000u | static_cast<std::uint32_t>(typeDirectories[type]));
        putDirectory(typeDirectories[type], names.size());
        std::size_t nameIndex = 0;
        for (const auto& [name, languages] : names) {
            const auto nameEntry = root + typeDirectories[type] + 16 + 8 * nameIndex++;
            const auto nameDirectory = nameDirectories[{type, name}];
            PutU32(bytes, nameEntry, name);
            PutU32(bytes, nameEntry + 4, 0x80000000u | static_cast<std::uint32_t>(nameDirectory));
            putDirectory(nameDirectory, languages.size());
            std::size_t languageIndex = 0;
            for (const auto& [language, resource] : languages) {
                const auto languageEntry = root + nameDirectory + 16 + 8 * languageIndex++;
                PutU32(bytes, languageEntry, language);
                PutU32(bytes, languageEntry + 4, static_cast<std::uint32_t>(dataEntries[resource]));
            }
        }
    }
    for (std::size_t index = 0; index < resources.size(); ++index) {
        const auto entry = root + dataEntries[index];
        PutU32(bytes, entry, ResourceSectionRva + static_cast<std::uint32_t>(dataOffsets[index]));
        PutU32(bytes, entry + 4, static_cast<std::uint32_t>(resources[index].data.size()));
        if (!resources[index].data.empty()) {
            std::memcpy(&bytes[root + dataOffsets[index]], resources[index].data.data(),
                        resources[index].data.size());
        }
        image.dataEntries.push_back(entry);
        image.data.push_back(root + dataOffsets[index]);
    }
    return image;
}

} // namespace varkel::testing
