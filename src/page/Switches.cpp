#include "page/Switches.h"

#include "page/Varkel1Page.h"

#include <algorithm>
#include <array>

namespace varkel {

namespace {
using Kind = PageSwitch::Kind;
using Page = Varkel1Page;

constexpr auto Switches = std::to_array<PageSwitch>({
    {u"/CH", Kind::Flag, 2, &Page::chkDatabaseUpdates},
    {u"/HW", Kind::Flag, 4, &Page::chkHardwareShutdown},
    {u"/BL", Kind::Flag, 1, &Page::chkNullStrings},
    {u"/NOSEQ", Kind::Flag, 7, &Page::chkSequentialDB},
    {u"/ITDELIM", Kind::Value, 5, &Page::chkDelimiter, &Page::txtDelimiter,
     u"Invalid value given for InstrumentTag Delimiter"},
    {u"/KS", Kind::Value, 6, &Page::chkGLF, &Page::txtGLFerr, u"Invalid value given for GLF errors",
     u"Warning: Use of the /KS parameter is not recommended."},
    {u"/VAL", Kind::Value, 8, &Page::chkDigital, &Page::txtOutput,
     u"Invalid value given for Output to DCS with QX digital state"},
    {u"/DB", Kind::DebugLevel, 3},
});

constexpr std::array<const PageSwitch*, Switches.size()> GenerationOrder = [] {
    std::array<const PageSwitch*, Switches.size()> order{};
    for (const PageSwitch& row : Switches) {
        order[static_cast<std::size_t>(row.generationOrder - 1)] = &row;
    }
    return order;
}();
static_assert(std::find(GenerationOrder.begin(), GenerationOrder.end(), nullptr) ==
                  GenerationOrder.end(),
              "every switch has its own place in generation, from 1 up");

bool IsPrefix(char16_t character) {
    return character == u'/' || character == u'-';
}
} // namespace

std::span<const PageSwitch> PageSwitches() {
    return Switches;
}

std::span<const PageSwitch* const> SwitchesInGenerationOrder() {
    return GenerationOrder;
}

const PageSwitch* FindSwitch(TextView name) {
    if (name.empty() || !IsPrefix(name[0])) {
        return nullptr;
    }
    const Text upper = UpperCase(name.substr(1));
    for (const PageSwitch& row : Switches) {
        if (row.name.substr(1) == upper) {
            return &row;
        }
    }
    return nullptr;
}

const PageSwitch& SwitchOfBox(CheckBox Varkel1Page::*box) {
    return *std::find_if(Switches.begin(), Switches.end(),
                         [box](const PageSwitch& row) { return row.box == box; });
}

NormalArgument NormalFormOf(TextView argument) {
    if (argument.empty() || !IsPrefix(argument[0])) {
        return {Text(argument), {}};
    }
    const std::size_t equals = std::min(argument.find(u'='), argument.size());
    NormalArgument normal{u"/" + Text(argument.substr(1, equals - 1)),
                          Text(argument.substr(std::min(equals + 1, argument.size())))};
    normal.known = FindSwitch(normal.name);
    if (normal.known != nullptr) {
        normal.name = Text(normal.known->name);
        normal.value = UpperCase(normal.value);
    }
    return normal;
}

} // namespace varkel
