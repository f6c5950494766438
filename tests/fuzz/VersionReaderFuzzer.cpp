// The portable reader of PE version resources on arbitrary bytes: whatever it finds must lie
// inside what it was given, and the fixed file information read through the version port must
// be the one the two lookups find, or zeros.

#include "Check.h"

#include "version/FileVersion.h"
#include "version/PeVersionReader.h"
#include "version/PortableVersionApi.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace varkel;
using namespace varkel::fuzzing;

bool Inside(ByteView part, ByteView whole) {
    // Compared as addresses: a part outside the whole would be a read past its end.
    const auto begin = reinterpret_cast<std::uintptr_t>(whole.data());
    const auto first = reinterpret_cast<std::uintptr_t>(part.data());
    return part.empty() || (first >= begin && first - begin <= whole.size() &&
                            part.size() <= whole.size() - (first - begin));
}

// What ReadFixedFileInfo makes of a resource: a copy of at most the read limit with one more
// byte, the root block looked up in it, and the block's first 52 bytes when they carry the
// signature.
FixedFileInfo ExpectedInfo(ByteView resource) {
    FixedFileInfo info;
    const std::size_t size = std::min<std::size_t>(resource.size(), VersionResourceReadLimit);
    if (size == 0) {
        return info;
    }
    std::vector<std::uint8_t> copy(resource.begin(),
                                   resource.begin() + static_cast<std::ptrdiff_t>(size));
    copy.push_back(0);
    const auto root = FindRootBlockValue(copy);
    if (!root || root->size() < FixedFileInfo::Size) {
        return info;
    }
    FixedFileInfo read;
    std::memcpy(read.values.data(), root->data(), FixedFileInfo::Size);
    return read.Signature() == FixedFileInfo::ExpectedSignature ? read : info;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteView image(data, size);

    // The bytes may themselves be a version resource.
    if (const auto root = FindRootBlockValue(image)) {
        FUZZ_CHECK(Inside(*root, image), "root block outside the bytes given");
    }

    const auto resource = FindVersionResource(image);
    FixedFileInfo expected;
    if (resource) {
        FUZZ_CHECK(Inside(*resource, image), "version resource outside the file");
        if (const auto root = FindRootBlockValue(*resource)) {
            FUZZ_CHECK(Inside(*root, *resource), "root block outside the resource");
        }
        expected = ExpectedInfo(*resource);
    }
    const FixedFileInfo info = ReadFixedFileInfoFromImage(image);
    FUZZ_CHECK(info.values == expected.values,
               "fixed file information differs from the resource's root block");
    FUZZ_CHECK(info.values == FixedFileInfo{}.values ||
                   info.Signature() == FixedFileInfo::ExpectedSignature,
               "fixed file information without its signature");
    const Text version =
        FormatVersionPair(info.FileVersionMS()) + u"." + FormatVersionPair(info.FileVersionLS());
    FUZZ_CHECK(std::count(version.begin(), version.end(), u'.') == 3 && version.size() <= 23,
               "version text " + Show(version));
    return 0;
}
