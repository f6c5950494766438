// The portable reader of PE version resources on arbitrary bytes: whatever it finds lies inside
// what it was given, and the fixed file information is signed or all zeros.

#include "FuzzSupport.h"

#include "version/FileVersion.h"
#include "version/PeVersionReader.h"
#include "version/PortableVersionApi.h"

using namespace varkel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteView image(data, size);
    const auto inside = [&](const std::optional<ByteView>& part) {
        const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(part ? part->data() : data) -
                                      reinterpret_cast<std::uintptr_t>(data); // wraps if before
        return !part || part->empty() || (offset <= size && part->size() <= size - offset);
    };
    const auto resource = FindVersionResource(image);
    FUZZ_CHECK(inside(FindRootBlockValue(image)) && inside(resource));
    const FixedFileInfo info = ReadFixedFileInfoFromImage(image);
    FUZZ_CHECK(info.values == FixedFileInfo{}.values ||
               (resource && info.Signature() == FixedFileInfo::ExpectedSignature));
    return 0;
}
