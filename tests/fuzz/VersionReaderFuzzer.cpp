// The portable reader of PE version resources on arbitrary bytes: whatever it finds lies inside
// what it was given, and the fixed file information is signed or all zeros.

#include "FuzzSupport.h"

#include "version/FileVersion.h"
#include "version/PeVersionReader.h"
#include "version/PortableVersionApi.h"

using namespace varkel;

namespace {
bool Inside(ByteView part, ByteView whole) {
    const auto begin = reinterpret_cast<std::uintptr_t>(whole.data());
    const auto first = reinterpret_cast<std::uintptr_t>(part.data());
    return part.empty() || (first >= begin && first - begin <= whole.size() &&
                            part.size() <= whole.size() - (first - begin));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteView image(data, size);
    if (const auto root = FindRootBlockValue(image)) {
        FUZZ_CHECK(Inside(*root, image));
    }
    const auto resource = FindVersionResource(image);
    if (resource) {
        FUZZ_CHECK(Inside(*resource, image));
    }
    const FixedFileInfo info = ReadFixedFileInfoFromImage(image);
    FUZZ_CHECK(info.values == FixedFileInfo{}.values ||
               (resource && info.Signature() == FixedFileInfo::ExpectedSignature));
    return 0;
}
