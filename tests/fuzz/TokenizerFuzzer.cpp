// Splits any text: rows with and without quotes agree, switch names take the text's prefix, words
// are as typed, values and arguments taken one by one come from the text, and taking them ends.

#include "FuzzSupport.h"

#include "common/Tokenizer.h"

using namespace varkel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text text(data, data + size);
    varkel::testing::FakePlatform fake;
    const Text prefix = DetermineCommandLineDelimeter(fake.ports, text); // Tokenizer.Splits...
    for (Text rest = text; !rest.empty();) { // every step consumes: no endless loop
        const std::size_t before = rest.size();
        const Text token = RetrieveNextArgument(fake.ports, rest);
        FUZZ_CHECK(rest.size() < before);
        FUZZ_CHECK(text.find(token) != Text::npos);
    }
    if (!prefix.empty()) { // (a text without a prefix fails: a case of its own)
        const ParsedArguments kept = ParseCommmandLineArguments(fake.ports, text, false),
                              stripped = ParseCommmandLineArguments(fake.ports, text, true);
        FUZZ_CHECK(kept.Rows.size() == stripped.Rows.size());
        FUZZ_CHECK(kept.Rows.size() <= text.size() + 1);
        for (std::size_t k = 0; k < kept.Rows.size(); ++k) {
            const auto& [name, value] = kept.Rows[k];
            const TextView bare = stripped.Rows[k].Value;
            FUZZ_CHECK(name == stripped.Rows[k].Name);
            FUZZ_CHECK((k == 0) == name.empty());
            const bool word = k > 0 && name[0] != u'/' && name[0] != u'-';
            FUZZ_CHECK(word ? value.empty() && text.find(name) != Text::npos
                            : k == 0 || (name[0] == prefix[0] && name.find(u'=') == Text::npos));
            FUZZ_CHECK(text.find(bare) != Text::npos);
            FUZZ_CHECK(value == bare || (k > 0 && value == u"\"" + Text(bare) + u"\""));
        }
    }
    return 0;
}
