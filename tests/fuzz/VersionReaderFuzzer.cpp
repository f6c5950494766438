// PE version resources read from any bytes: found parts lie inside them, the fixed part is signed.

#include "FuzzSupport.h"

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
    FUZZ_CHECK(inside(FindRootBlockValue(image)));
    FUZZ_CHECK(inside(resource));
    const FixedFileInfo info = ReadFixedFileInfoFromImage(image);
    FUZZ_CHECK(info.values == FixedFileInfo{}.values ||
               (resource && info.Signature() == FixedFileInfo::ExpectedSignature));
    return 0;
}
