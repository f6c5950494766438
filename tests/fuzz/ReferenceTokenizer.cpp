#include "ReferenceTokenizer.h"

#include <algorithm>
#include <array>

namespace varkel::fuzzing {

namespace {

const std::array<Text, 4> Separators{u" /", u" -", u" \"/", u" \"-"};

bool IsPrefix(char16_t unit) {
    return unit == u'/' || unit == u'-';
}

Text AsciiUpper(Text text) {
    for (auto& unit : text) {
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<char16_t>(unit - u'a' + u'A');
        }
    }
    return text;
}

// The part of a text still to split, as positions in it, so that splitting a long text does not
// copy its tail once per token. Each separator's next occurrence is remembered, because the
// start of the search only ever moves forward.
class Remaining {
public:
    explicit Remaining(const Text& text) : text_(text), begin_(0), end_(text.size()) {}

    bool Empty() const { return begin_ == end_; }
    Text Str() const { return text_.substr(begin_, end_ - begin_); }

    Text NextToken() {
        if (Empty()) {
            return {};
        }
        Trim(begin_, end_);
        std::size_t searchFrom = std::string::npos; // an index into the text
        if (begin_ < end_ && IsPrefix(text_[begin_])) {
            searchFrom = begin_ + 1;
        } else if (end_ - begin_ >= 2 && text_[begin_] == u'"' && IsPrefix(text_[begin_ + 1])) {
            searchFrom = begin_ + 2;
        }
        std::size_t cut = std::string::npos;
        if (searchFrom != std::string::npos) {
            for (std::size_t s = 0; s < Separators.size(); ++s) {
                const std::size_t found = Next(s, searchFrom);
                if (found < cut) {
                    cut = found;
                }
            }
        }
        std::size_t tokenBegin = begin_;
        std::size_t tokenEnd = end_;
        if (cut == std::string::npos) {
            begin_ = end_;
        } else {
            tokenEnd = cut;
            begin_ = cut;
            Trim(begin_, end_);
        }
        Trim(tokenBegin, tokenEnd);
        return ReferenceUnquote(text_.substr(tokenBegin, tokenEnd - tokenBegin));
    }

private:
    void Trim(std::size_t& begin, std::size_t& end) const {
        while (begin < end && text_[begin] == u' ') {
            ++begin;
        }
        while (end > begin && text_[end - 1] == u' ') {
            --end;
        }
    }

    // The first occurrence of separator s that starts at or after `from` and ends within the
    // remaining text; npos when there is none.
    std::size_t Next(std::size_t s, std::size_t from) {
        if (!searched_[s] || (found_[s] != std::string::npos && found_[s] < from)) {
            found_[s] = text_.find(Separators[s], from);
            searched_[s] = true;
        }
        const std::size_t found = found_[s];
        return found != std::string::npos && found + Separators[s].size() <= end_
                   ? found
                   : std::string::npos;
    }

    const Text& text_;
    std::size_t begin_;
    std::size_t end_;
    std::array<bool, 4> searched_{};
    std::array<std::size_t, 4> found_{};
};

} // namespace

bool ReferenceIsQuoted(const Text& value) {
    // A lone double quote has no separate first and last character to remove.
    return value.size() >= 2 && value.front() == u'"' && value.back() == u'"';
}

Text ReferenceUnquote(const Text& value) {
    return ReferenceIsQuoted(value) ? value.substr(1, value.size() - 2) : value;
}

Text ReferenceNextToken(Text& rest) {
    Remaining remaining(rest);
    const Text token = remaining.NextToken();
    rest = remaining.Str();
    return token;
}

bool SameRows(const std::vector<ParsedArgument>& rows, const std::vector<ReferenceRow>& expected) {
    return std::equal(rows.begin(), rows.end(), expected.begin(), expected.end(),
                      [](const ParsedArgument& row, const ReferenceRow& reference) {
                          return row.Name == reference.Name && row.Value == reference.Value;
                      });
}

ReferenceSplit ReferenceParse(const Text& commandLine, bool stripQuotes) {
    ReferenceSplit split;
    split.rows.resize(1);
    if (commandLine.empty()) {
        return split;
    }
    split.columns = 2;
    char16_t prefix = 0;
    if (commandLine.find(u'/') != Text::npos) {
        prefix = u'/';
    } else if (commandLine.find(u'-') != Text::npos) {
        prefix = u'-';
    } else {
        split.outcome = ReferenceSplit::Outcome::NoSeparator;
        return split;
    }

    Remaining work(commandLine);
    int tokenNumber = 1;
    while (!work.Empty()) {
        const Text token = work.NextToken();
        if (!token.empty() && IsPrefix(token[0])) {
            split.rows.resize(static_cast<std::size_t>(tokenNumber) + 1);
            auto& row = split.rows.back();
            const auto equals = token.find(u'=');
            if (equals == Text::npos) {
                row.Name = token;
            } else {
                row.Name = token.substr(0, equals);
                const Text raw = token.substr(equals + 1);
                row.Value = ReferenceUnquote(raw);
                if (!stripQuotes &&
                    (ReferenceIsQuoted(raw) || row.Value.find(u' ') != Text::npos)) {
                    row.Value = u"\"" + row.Value + u"\"";
                }
            }
        } else if (AsciiUpper(token) != u"NOSERVICE" && split.rows[0].Value.empty()) {
            split.rows[0].Value = token;
        }
        // The counter is a 16-bit signed number.
        if (tokenNumber == 32767) {
            split.outcome = ReferenceSplit::Outcome::TooManyTokens;
            return split;
        }
        ++tokenNumber;
    }

    const char16_t other = prefix == u'/' ? u'-' : u'/';
    for (auto& row : split.rows) {
        if (!row.Name.empty() && row.Name[0] == other) {
            row.Name[0] = prefix;
        }
    }
    return split;
}

} // namespace varkel::fuzzing
