#include "SaveCheck.h"

#include "CommandLine.h"
#include "OptionNames.h"
#include "common/Text.h"
#include "page/Switches.h"

#include <algorithm>
#include <cstdint>

namespace varkel::host {

namespace {

// The page's row of a switch as the file spells it. The page's switch names are ASCII, so a
// byte of any other character, in whatever code page, makes a name the page does not know.
const PageSwitch* KnownSwitch(std::string_view name) {
    return FindSwitch(FromUtf8(name));
}

// Its place in the page's order, or -1.
int PageOrder(std::string_view name) {
    const PageSwitch* known = KnownSwitch(name);
    return known == nullptr ? -1 : known->generationOrder;
}

std::string Formatted(const PageArgument& row) {
    return row.value.empty() ? row.name : row.name + "=" + row.value;
}

struct Normal {
    std::string name;  // "/" for the prefix; capitals for a page switch
    std::string value; // capitals for a page switch
    const PageSwitch* known = nullptr;
    std::string Text() const { return name + (value.empty() ? "" : "=" + value); }
};

Normal NormalOf(const std::string& argument, const UpperCaser& upper) {
    if (argument.empty() || (argument[0] != '/' && argument[0] != '-')) {
        return {argument, {}};
    }
    const std::size_t equals = std::min(argument.find('='), argument.size());
    Normal normal{std::string(1, '/').append(argument, 1, equals - 1),
                  argument.substr(std::min(equals + 1, argument.size()))};
    if (const PageSwitch* known = KnownSwitch(normal.name)) {
        normal = {ToUtf8(known->name), upper(normal.value), known};
    }
    return normal;
}

// The debug level's switch: several of it add up to one level.
bool IsLevel(const Normal& normal) {
    return normal.known != nullptr && normal.known->kind == PageSwitch::Kind::DebugLevel;
}

// A debug level's bits; a level that is no plain number has a bit no level can give.
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

bool IsPageSwitch(std::string_view name) {
    return KnownSwitch(name) != nullptr;
}

std::vector<std::string> ArgumentsOfRows(const std::vector<PageArgument>& rows) {
    std::vector<std::string> arguments;
    std::string freeText;
    int lastOrder = -1;
    for (const PageArgument& row : rows) {
        // A row of two empty texts holds nothing (the blank row a list starts with).
        if (row.name.empty() && row.value.empty()) {
            continue;
        }
        const int order = freeText.empty() ? PageOrder(row.name) : -1;
        if (order > lastOrder && row.name[0] == '/') {
            lastOrder = order;
            arguments.push_back(Formatted(row));
        } else {
            lastOrder = static_cast<int>(PageSwitches().size()) + 1;
            freeText += Formatted(row) + ' ';
        }
    }
    const std::vector<std::string> typed = SplitRuntimeText(freeText);
    arguments.insert(arguments.end(), typed.begin(), typed.end());
    return arguments;
}

std::vector<Loss> LostArguments(const std::vector<std::string>& before,
                                const std::vector<std::string>& after, const UpperCaser& upper) {
    std::vector<Loss> lost;
    std::vector<std::string> unmatched;
    std::vector<std::pair<std::string, std::string>> pageSwitchesSeen; // name, argument
    std::uint64_t levels = 0;
    for (const std::string& argument : after) {
        const Normal normal = NormalOf(argument, upper);
        if (normal.known != nullptr) {
            const auto seen = std::find_if(pageSwitchesSeen.begin(), pageSwitchesSeen.end(),
                                           [&](const auto& s) { return s.first == normal.name; });
            if (seen != pageSwitchesSeen.end()) {
                lost.push_back({Loss::Kind::Twice, seen->second, argument});
            }
            pageSwitchesSeen.emplace_back(normal.name, argument);
        }
        if (IsLevel(normal)) {
            levels |= LevelBits(normal.value);
        } else {
            unmatched.push_back(normal.Text());
        }
    }
    for (const std::string& argument : before) {
        const Normal normal = NormalOf(argument, upper);
        if (IsLevel(normal)) {
            if ((LevelBits(normal.value) & ~levels) == 0) {
                continue;
            }
        } else if (const auto kept = std::find(unmatched.begin(), unmatched.end(), normal.Text());
                   kept != unmatched.end()) {
            unmatched.erase(kept);
            continue;
        }
        const auto holder = std::find_if(after.begin(), after.end(), [&](const auto& text) {
            return text != argument && text.find(argument) != std::string::npos;
        });
        if (holder != after.end()) {
            lost.push_back({Loss::Kind::Joined, argument, *holder});
        } else {
            lost.push_back({Loss::Kind::Dropped, argument, {}});
        }
    }
    return lost;
}

std::string LossText(const Loss& loss) {
    switch (loss.kind) {
    case Loss::Kind::Dropped:
        return loss.argument;
    case Loss::Kind::Joined:
        return loss.argument + " (joined into " + loss.into + ")";
    case Loss::Kind::Twice:
        break;
    }
    return loss.argument + " (given again as " + loss.into + ")";
}

std::string LossRefusal(const std::string& file, const std::vector<Loss>& losses) {
    std::string names;
    for (const Loss& loss : losses) {
        names += (names.empty() ? "" : ", ") + LossText(loss);
    }
    return file + ": a save would lose " + names + "; nothing written (" +
           std::string(AllowLossOptionName) + " writes it all the same)";
}

} // namespace varkel::host
