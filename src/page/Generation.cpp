#include "page/Varkel1Page.h"

namespace varkel {

namespace {
const Text GenerateLocation = u"in GetAllArgumentsSafeArray() of ";
}

std::int32_t Varkel1Page::GetAllArgumentsSafeArray(ArgumentList& saArguments) {
    static_cast<void>(saArguments);
    // Argument generation is not built yet: say so instead of handing back an empty list
    // that a host would take as "no switches".
    ReportFailure(GenerateLocation,
                  Failure(445, OwnSource, u"Argument generation is not available in this build"));
    return 0;
}

} // namespace varkel
