#include "core/CommandLine.h"

#include <gtest/gtest.h>
#include <random>

namespace varkel::host {
namespace {

TEST(CommandLineCodec, GivesBackWhatItWroteAndKeepsWhatItRead) {
    const std::pair<const char*, const char*> read[] = {{R"("a""b" c)", R"(a"b|c|)"},
                                                        {R"(a\\\"b)", R"(a\"b|)"},
                                                        {R"(a\\"b c")", R"(a\b c|)"},
                                                        {R"(C:\d\ x\\)", R"(C:\d\|x\\|)"},
                                                        {R"(^&x ^^ "^&")", "&x|^|^&|"}};
    for (const auto& [text, expected] : read) {
        std::string received; // what the interface receives, one text per argument
        for (const std::string& argument : ReadArguments(text).arguments) {
            received += argument + "|";
        }
        EXPECT_EQ(received, expected) << text;
    }
    std::mt19937 random(37);
    std::string alphabet = " \t\"\\|&<>^%=/-";
    for (int c = 0x21; c <= 0xFF; c += c == 0x7E ? 2 : 1) { // no DEL; 1252's upper half
        alphabet += static_cast<char>(c);
    }
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> arguments(random() % 5);
        for (std::string& argument : arguments) {
            for (std::size_t n = random() % 9; n > 0; --n) { // often a character read specially
                argument += alphabet[random() % 2 ? random() % 14 : random() % alphabet.size()];
            }
        }
        const std::string line = WriteArguments(arguments) + " > log.txt";
        const LineArguments back = ReadArguments(line);
        ASSERT_EQ(back.arguments, arguments) << line;
        ASSERT_EQ(line.substr(back.end), " > log.txt") << line;
    }
}

} // namespace
} // namespace varkel::host
