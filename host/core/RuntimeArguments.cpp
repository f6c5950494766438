#include "RuntimeArguments.h"

namespace varkel::host {

namespace {

std::string WithoutCarets(std::string_view text) {
    std::string result;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (text[i] == '^' && !quoted) {
            if (++i == text.size()) {
                break;
            }
        }
        result += text[i];
    }
    return result;
}

} // namespace

std::vector<std::string> RuntimeArguments(std::string_view argumentText) {
    const std::string text = WithoutCarets(argumentText);
    std::vector<std::string> arguments;
    std::size_t i = 0;
    const auto blank = [&](std::size_t at) { return text[at] == ' ' || text[at] == '\t'; };
    for (;;) {
        while (i < text.size() && blank(i)) {
            ++i;
        }
        if (i == text.size()) {
            return arguments;
        }
        std::string argument;
        bool quoted = false;
        while (i < text.size() && (quoted || !blank(i))) {
            if (text[i] == '\\') {
                std::size_t slashes = 0;
                for (; i < text.size() && text[i] == '\\'; ++i) {
                    ++slashes;
                }
                const bool beforeQuote = i < text.size() && text[i] == '"';
                argument.append(beforeQuote ? slashes / 2 : slashes, '\\');
                if (beforeQuote && slashes % 2 == 1) {
                    argument += '"';
                    ++i;
                }
            } else if (text[i] == '"') {
                if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                    argument += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument += text[i++];
            }
        }
        arguments.push_back(std::move(argument));
    }
}

} // namespace varkel::host
