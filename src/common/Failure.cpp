#include "common/Failure.h"

#include <utility>

namespace varkel {

Failure::Failure(std::int32_t number, Text source, Text description)
    : Number(number), Source(std::move(source)), Description(std::move(description)),
      narrow_(ToUtf8(Source) + ": " + ToUtf8(Description)) {}

namespace Failures {
Failure Overflow() {
    return {6, OwnSource, u"Overflow"};
}
Failure SubscriptOutOfRange() {
    return {9, OwnSource, u"Subscript out of range"};
}
Failure TypeMismatch() {
    return {13, OwnSource, u"Type mismatch"};
}
Failure InvalidUseOfNull() {
    return {94, OwnSource, u"Invalid use of Null"};
}
Failure CannotCreateObject() {
    return {429, OwnSource, u"ActiveX component can't create object"};
}
Failure FileNotFound() {
    return {53, OwnSource, u"File not found"};
}
Failure DllNotFound(const Text& library) {
    return {48, OwnSource, u"Error in loading DLL: " + library};
}
Failure EntryPointNotFound(const Text& entry) {
    return {453, OwnSource, u"Can't find DLL entry point " + entry};
}
Failure InvalidArgument() {
    return {5, OwnSource, u"Invalid procedure call or argument"};
}
} // namespace Failures

} // namespace varkel
