#include "CommandLine.h"

#include <algorithm>
#include <utility>

namespace varkel::host {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "2>nul", ">log", "<in": digits (perhaps none) followed by a redirection operator.
bool StartsRedirection(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
    }
    return pos < text.size() && (text[pos] == '<' || text[pos] == '>');
}

// A quote, and before it the backslashes that precede it doubled, so that the runtime reads
// them as the argument's own; one more makes the quote itself the argument's.
void AppendQuote(std::string& out, bool literal) {
    const auto backslashes = static_cast<std::size_t>(
        std::find_if(out.rbegin(), out.rend(), [](char c) { return c != '\\'; }) - out.rbegin());
    out.append(backslashes + (literal ? 1 : 0), '\\');
    out += '"';
}

// What cmd.exe must read to leave `runtimeForm` for the runtime. Quotes stay paired for cmd.exe
// as for the runtime because every literal quote is escaped.
std::string ForCmd(std::string_view runtimeForm) {
    std::string out;
    bool quoted = false;
    std::size_t backslashes = 0;
    for (const char c : runtimeForm) {
        const bool literalQuote = c == '"' && backslashes % 2 == 1;
        if (c == '"' && !literalQuote) {
            quoted = !quoted;
        } else if (!quoted && (c == '^' || IsCommandOperator(c) || literalQuote)) {
            out += '^';
        }
        out += c;
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    return out;
}

} // namespace

LineArguments ReadArguments(std::string_view text) {
    LineArguments read;
    std::string runtimeText;
    bool quoted = false;
    bool wordStart = true; // after a blank that separates, where "2>" starts a redirection
    std::size_t pos = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        const bool atWordStart = std::exchange(wordStart, !quoted && IsLineBlank(c));
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted &&
                   (IsCommandOperator(c) || (atWordStart && StartsRedirection(text, pos)))) {
            break;
        } else if (!quoted && c == '^') {
            if (++pos == text.size()) {
                read.continued = true;
                break;
            }
        }
        runtimeText += text[pos];
    }
    read.end = std::min(pos, text.size());
    while (read.end > 0 && IsLineBlank(text[read.end - 1]) && !read.continued) {
        --read.end;
    }
    read.arguments = SplitRuntimeText(runtimeText);
    return read;
}

std::vector<std::string> SplitRuntimeText(std::string_view text) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    for (;;) {
        while (i < text.size() && IsLineBlank(text[i])) {
            ++i;
        }
        if (i == text.size()) {
            return arguments;
        }
        std::string argument;
        bool quoted = false;
        while (i < text.size() && (quoted || !IsLineBlank(text[i]))) {
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

std::string RuntimeForm(std::string_view argument) {
    if (argument.empty()) {
        return "\"\"";
    }
    std::string out;
    for (std::size_t start = 0;;) {
        const std::size_t quote = std::min(argument.find('"', start), argument.size());
        const std::string_view part = argument.substr(start, quote - start);
        const std::size_t blank = part.find_first_of(" \t");
        if (blank == std::string_view::npos) {
            out += part;
        } else {
            // "/SITE=North Plant" is written /SITE="North Plant", as people write it.
            const std::size_t equals = start == 0 ? part.find('=') : std::string_view::npos;
            const std::size_t open = equals < blank ? equals + 1 : 0;
            out += part.substr(0, open);
            AppendQuote(out, false);
            out += part.substr(open);
            AppendQuote(out, false);
        }
        if (quote == argument.size()) {
            return out;
        }
        AppendQuote(out, true);
        start = quote + 1;
    }
}

std::string WriteArguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        line += ' ' + ForCmd(RuntimeForm(argument));
    }
    return line;
}

} // namespace varkel::host
