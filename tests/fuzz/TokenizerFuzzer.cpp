// Splits any text with quotes kept and stripped: the tables differ only by quotes around values,
// names start with the text's prefix, row 0 holds no name, every value comes from the text.

#include "FuzzSupport.h"

#include "common/Tokenizer.h"

using namespace varkel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::FuzzInput input{{data, size}};
    Text text;
    while (!input.Exhausted()) {
        text.push_back(input.Unit());
    }
    varkel::testing::FakePlatform fake;
    const auto split = [&](bool strip) -> std::optional<ParsedArguments> {
        try {
            return ParseCommmandLineArguments(fake.ports, text, strip);
        } catch (const Failure&) {
            FUZZ_CHECK(!fake.log.lines.empty());
            return std::nullopt;
        }
    };
    const auto kept = split(false);
    const auto stripped = split(true);
    FUZZ_CHECK(kept.has_value() == stripped.has_value());
    const Text prefix = DetermineCommandLineDelimeter(fake.ports, text);
    FUZZ_CHECK(prefix == (text.find(u'/') != Text::npos   ? u"/"
                          : text.find(u'-') != Text::npos ? u"-"
                                                          : u""));
    for (std::size_t k = 0; kept && k < kept->Rows.size(); ++k) {
        const auto& [name, value] = kept->Rows[k];
        const TextView bare = stripped->Rows.at(k).Value;
        FUZZ_CHECK(name == stripped->Rows[k].Name && kept->Rows.size() == stripped->Rows.size() &&
                   kept->Rows.size() <= text.size() + 1);
        FUZZ_CHECK(k == 0 ? name.empty() : name.empty() || name[0] == prefix[0]);
        FUZZ_CHECK(name.find(u'=') == Text::npos && text.find(bare) != Text::npos);
        FUZZ_CHECK(value == bare || (k > 0 && value == u"\"" + Text(bare) + u"\""));
    }
    for (Text rest = text; !rest.empty();) { // every step consumes: no endless loop
        const std::size_t before = rest.size();
        const Text token = RetrieveNextArgument(fake.ports, rest);
        FUZZ_CHECK(rest.size() < before && text.find(token) != Text::npos);
    }
    return 0;
}
