#pragma once
// A broken invariant ends the run with a message and abort(), which libFuzzer records as a
// crash (saving the input) and which fails the corpus replay.

#include "common/Text.h"

#include <string>

namespace varkel::fuzzing {

[[noreturn]] void Fail(const char* file, int line, const char* condition, const std::string& why);

// Text for messages: UTF-8 in quotes, control characters and non-ASCII units escaped.
std::string Show(TextView text);

} // namespace varkel::fuzzing

// `why` is evaluated only when the check fails.
#define FUZZ_CHECK(condition, why)                                                                 \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::varkel::fuzzing::Fail(__FILE__, __LINE__, #condition, (why));                        \
        }                                                                                          \
    } while (false)
