#include "ArgumentKeeping.h"

#include "common/Text.h"
#include "core/RuntimeArguments.h"
#include "page/Switches.h"

#include <algorithm>
#include <cstdint>

namespace varkel::check {

namespace {

struct Normal {
    std::string name;
    std::string value;
    bool debugLevel = false;
    std::string Text() const { return name + (value.empty() ? "" : "=" + value); }
};

Normal NormalOf(const std::string& argument) {
    const NormalArgument normal = NormalFormOf(FromUtf8(argument));
    return {ToUtf8(normal.name), ToUtf8(normal.value),
            normal.known != nullptr && normal.known->kind == PageSwitch::Kind::DebugLevel};
}

// A /DB level's bits; a level that is no plain number has a bit no level can give.
std::uint64_t LevelBits(const std::string& value) {
    constexpr std::uint64_t unreadable = std::uint64_t{1} << 63;
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) {
        return unreadable;
    }
    std::uint64_t level = 0;
    for (char digit : value) {
        level = std::min<std::uint64_t>(level * 10 + static_cast<std::uint64_t>(digit - '0'),
                                        unreadable);
    }
    return level;
}

} // namespace

std::vector<LostArgument> LostArguments(std::string_view oldArguments,
                                        std::string_view newArguments) {
    const std::vector<std::string> written = host::RuntimeArguments(newArguments);
    std::vector<std::string> unmatched;
    std::uint64_t levels = 0;
    for (const std::string& argument : written) {
        const Normal normal = NormalOf(argument);
        if (normal.debugLevel) {
            levels |= LevelBits(normal.value);
        } else {
            unmatched.push_back(normal.Text());
        }
    }
    std::vector<LostArgument> lost;
    for (const std::string& argument : host::RuntimeArguments(oldArguments)) {
        const Normal normal = NormalOf(argument);
        if (normal.debugLevel) {
            if ((LevelBits(normal.value) & ~levels) == 0) {
                continue;
            }
        } else if (const auto kept = std::find(unmatched.begin(), unmatched.end(), normal.Text());
                   kept != unmatched.end()) {
            unmatched.erase(kept);
            continue;
        }
        const auto holder = std::find_if(written.begin(), written.end(), [&](const auto& text) {
            return text != argument && text.find(argument) != std::string::npos;
        });
        lost.push_back(
            {holder != written.end(), argument, holder != written.end() ? *holder : std::string()});
    }
    return lost;
}

} // namespace varkel::check
