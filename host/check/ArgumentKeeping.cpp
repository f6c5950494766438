#include "ArgumentKeeping.h"

#include "common/Text.h"
#include "core/RuntimeArguments.h"

#include <algorithm>
#include <cstdint>

namespace varkel::check {

namespace {

// As the page puts a known switch's value in capitals: "ÿ" becomes "Ÿ".
std::string Upper(const std::string& text) {
    return ToUtf8(UpperCase(FromUtf8(text)));
}

bool IsKnown(const std::string& name) {
    constexpr std::string_view known[] = {"/BL",      "/CH", "/HW",  "/NOSEQ",
                                          "/ITDELIM", "/KS", "/VAL", "/DB"};
    return std::find(std::begin(known), std::end(known), name) != std::end(known);
}

struct Normal {
    std::string name;  // "/" for the prefix; capitals for a known switch
    std::string value; // capitals for a known switch
    std::string Text() const { return name + (value.empty() ? "" : "=" + value); }
};

Normal NormalOf(const std::string& argument) {
    if (argument.empty() || (argument[0] != '/' && argument[0] != '-')) {
        return {argument, {}};
    }
    const std::size_t equals = std::min(argument.find('='), argument.size());
    Normal normal{std::string(1, '/').append(argument, 1, equals - 1),
                  argument.substr(std::min(equals + 1, argument.size()))};
    if (IsKnown(Upper(normal.name))) {
        normal = {Upper(normal.name), Upper(normal.value)};
    }
    return normal;
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
        if (normal.name == "/DB") {
            levels |= LevelBits(normal.value);
        } else {
            unmatched.push_back(normal.Text());
        }
    }
    std::vector<LostArgument> lost;
    for (const std::string& argument : host::RuntimeArguments(oldArguments)) {
        const Normal normal = NormalOf(argument);
        if (normal.name == "/DB") {
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
