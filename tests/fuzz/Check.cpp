#include "Check.h"

#include <cstdio>
#include <cstdlib>

namespace varkel::fuzzing {

void Fail(const char* file, int line, const char* condition, const std::string& why) {
    std::fprintf(stderr, "\n%s:%d: invariant broken: %s\n  %s\n", file, line, condition,
                 why.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string Show(TextView text) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char16_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F && unit != u'\\' && unit != u'"') {
            out.push_back(static_cast<char>(unit));
            continue;
        }
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4) {
            out.push_back(digits[(unit >> shift) & 0xF]);
        }
    }
    out.push_back('"');
    return out;
}

} // namespace varkel::fuzzing
