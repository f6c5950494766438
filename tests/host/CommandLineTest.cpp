#include "core/CommandLine.h"

#include <gtest/gtest.h>
#include <random>

namespace varkel::host {
namespace {

// What the interface receives from the line, as one text per argument.
std::string Received(std::string_view argumentText) {
    std::string split;
    for (const std::string& argument : ReadArguments(argumentText).arguments) {
        split += argument + "|";
    }
    return split;
}

TEST(CommandLineCodec, GivesBackWhatItWroteAndKeepsWhatItRead) {
    const std::pair<const char*, const char*> read[] = {{R"( /A="x y"  b	c)", "/A=x y|b|c|"},
                                                        {R"("a""b" c)", R"(a"b|c|)"},
                                                        {R"(a\\\"b)", R"(a\"b|)"},
                                                        {R"(a\\"b c")", R"(a\b c|)"},
                                                        {R"(C:\d\ x\\)", R"(C:\d\|x\\|)"},
                                                        {R"(^&x ^^ "^&")", "&x|^|^&|"}};
    for (const auto& [text, expected] : read) {
        EXPECT_EQ(Received(text), expected) << text;
    }
    std::mt19937 random(37);
    std::string alphabet = " \t\"\\|&<>^%=/-";
    for (int c = 0x21; c < 0x7F; ++c) {
        alphabet += static_cast<char>(c);
    }
    for (int c = 0x80; c <= 0xFF; ++c) { // Windows-1252's upper half, as bytes
        alphabet += static_cast<char>(c);
    }
    const auto pick = [&](std::string_view from, std::size_t most) {
        std::string text;
        for (std::size_t n = random() % (most + 1); n > 0; --n) {
            // the characters cmd.exe or the runtime read specially, often
            text += from[random() % 2 ? random() % 14 : random() % from.size()];
        }
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> arguments(random() % 5);
        for (std::string& argument : arguments) {
            argument = pick(alphabet, 8);
        }
        const std::string line = WriteArguments(arguments) + " > log.txt";
        const LineArguments back = ReadArguments(line);
        ASSERT_EQ(back.arguments, arguments) << line;
        ASSERT_EQ(line.substr(back.end), " > log.txt") << line;
    }
    // Lines as people write them correctly; whatever the interface receives from one comes back.
    const std::string_view pieces[] = {
        "/CH",       R"("/A=b c")",       "/S=A^&B", "^|",   R"(/P="C:\x y\\")",
        R"(a\"b)",   R"(/Q="a ""b"" c")", "x^^y",    "\\\\", "%PATH%",
        R"(/I="|")", "\xE9\x80",          R"("")",   "\tz"};
    for (int round = 0; round < 2000; ++round) {
        std::string line;
        for (std::size_t n = random() % 6; n > 0; --n) {
            line.append(1, ' ').append(pieces[random() % std::size(pieces)]);
        }
        const std::vector<std::string> arguments = ReadArguments(line).arguments;
        ASSERT_EQ(ReadArguments(WriteArguments(arguments)).arguments, arguments) << line;
    }
}

} // namespace
} // namespace varkel::host
