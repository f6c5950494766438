// Splits any text both ways (quotes kept and stripped): the two tables differ only by the quotes
// around values, every name starts with the text's prefix, row 0 holds no name, and every value
// comes from the text. Nothing may show a message box.

#include "FuzzSupport.h"

#include "common/Tokenizer.h"

using namespace varkel;
using namespace varkel::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input({data, size});
    const Text text = input.Rest();
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
    if (!kept) {
        return 0;
    }
    FUZZ_CHECK(kept->Rows.size() == stripped->Rows.size() && kept->Rows.size() <= text.size() + 1);
    FUZZ_CHECK(kept->Rows[0].Name.empty() && kept->Rows[0].Value == stripped->Rows[0].Value);
    for (std::size_t k = 1; k < kept->Rows.size(); ++k) {
        const auto& withQuotes = kept->Rows[k];
        const auto& bare = stripped->Rows[k];
        FUZZ_CHECK(withQuotes.Name == bare.Name);
        FUZZ_CHECK(withQuotes.Name.empty() || withQuotes.Name[0] == prefix[0]);
        FUZZ_CHECK(withQuotes.Name.find(u'=') == Text::npos);
        FUZZ_CHECK(withQuotes.Value == bare.Value ||
                   withQuotes.Value == u"\"" + Text(bare.Value) + u"\"");
        FUZZ_CHECK(bare.Value.empty() || text.find(bare.Value) != Text::npos);
    }
    Text rest = text;
    for (std::size_t step = 0; !rest.empty(); ++step) {
        const std::size_t before = rest.size();
        FUZZ_CHECK(step <= text.size());
        const Text token = RetrieveNextArgument(fake.ports, rest);
        FUZZ_CHECK(rest.size() < before && text.find(token) != Text::npos);
    }
    return 0;
}
