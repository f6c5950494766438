#include "support/Fakes.h"

#include <fstream>
#include <regex>

namespace varkel::testing {

Text FakeStringTable::Load(int number) {
    if (strings.empty()) {
        std::ifstream rc(VARKEL_RESOURCE_FILE);
        const std::regex entry(R"re(^\s+(\d+) "(.*)"\s*$)re");
        std::smatch match;
        for (std::string line; std::getline(rc, line);) {
            if (std::regex_match(line, match, entry)) {
                strings[std::stoi(match[1])] = FromUtf8(match[2].str());
            }
        }
    }
    const auto found = strings.find(number);
    if (found == strings.end()) {
        throw Failure(326, OwnSource,
                      u"Resource with identifier '" + DecimalText(number) + u"' not found");
    }
    return found->second;
}

void FakeVersionApi::AddFile(const Text& path, std::uint32_t versionMS, std::uint32_t versionLS) {
    const std::uint32_t block[13] = {0xFEEF04BD, 0x00010000, versionMS, versionLS};
    resources[path].assign(reinterpret_cast<const std::uint8_t*>(block),
                           reinterpret_cast<const std::uint8_t*>(block + 13));
}

void FakePlatform::ExpectBox(MessageBoxAnswer answer, std::function<void()> whileShown) {
    EXPECT_CALL(boxes, ShowModal(::testing::_))
        .InSequence(order)
        .WillOnce([this, answer, whileShown](const MessageBoxRequest& box) {
            shown.push_back(box);
            whileShown();
            return answer;
        })
        .RetiresOnSaturation();
}

} // namespace varkel::testing
