#include "support/Fakes.h"

#include <algorithm>
#include <cstring>
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

Text FakeHostObjects::PropertyText(const Text& name) {
    propertyReads.push_back(name);
    if (failingProperty == name) {
        throw Failure(438, OwnSource, u"Object doesn't support this property or method");
    }
    return properties[name];
}

Text FakeHostObjects::GetBinaryName(Text& interfaceName, Text& apiNodeForMdb, Text& serverName) {
    settingsArguments.insert(settingsArguments.end(), {interfaceName, apiNodeForMdb, serverName});
    if (settingsFailure) {
        throw *settingsFailure;
    }
    return binaryName;
}

std::uint32_t FakeVersionApi::VersionInfoSize(const Text& path) {
    requested.push_back(path);
    const auto found = resources.find(path);
    return found == resources.end() ? 0 : static_cast<std::uint32_t>(found->second.size());
}

bool FakeVersionApi::ReadVersionInfo(const Text& path, std::uint32_t length, std::uint8_t* buffer) {
    const auto& bytes = resources.at(path);
    std::memcpy(buffer, bytes.data(), std::min<std::size_t>(length, bytes.size()));
    return true;
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
            if (whileShown) {
                whileShown();
            }
            return answer;
        })
        .RetiresOnSaturation();
}

} // namespace varkel::testing
