// Runs a fuzz target over files and directories of inputs, for builds without libFuzzer: the
// seed corpus then replays as an ordinary test. Each input is named before it runs, so the one
// that breaks an invariant is the last name printed. An input that runs longer than the
// watchdog allows counts as a hang.

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr unsigned WatchdogSeconds = 20;

void OnWatchdog(int) {
    static constexpr char message[] = "\ninput ran longer than the watchdog allows: a hang\n";
    (void)!write(STDERR_FILENO, message, sizeof message - 1);
    _exit(70);
}

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& argument) {
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_directory(argument)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argument)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
        std::sort(inputs.begin(), inputs.end());
    } else {
        inputs.push_back(argument);
    }
    return inputs;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <input file or directory>...\n", argv[0]);
        return 2;
    }
    std::signal(SIGALRM, OnWatchdog);
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::filesystem::exists(argv[i])) {
            std::fprintf(stderr, "no such input: %s\n", argv[i]);
            return 2;
        }
        for (const auto& path : InputsOf(argv[i])) {
            std::ifstream file(path, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
            std::fprintf(stderr, "replaying %s (%zu bytes)\n", path.c_str(), bytes.size());
            alarm(WatchdogSeconds);
            // A copy of exactly the input's size, so that reading past it is caught.
            std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
            LLVMFuzzerTestOneInput(input.data(), input.size());
            alarm(0);
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::fprintf(stderr, "no inputs found\n");
        return 2;
    }
    std::printf("replayed %zu inputs\n", replayed);
    return 0;
}
