// Runs a fuzz target over directories of inputs, for builds without libFuzzer. Each input is
// named before it runs, so the one that breaks a property is the last name printed; one that
// outlasts the watchdog counts as a hang.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i])) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const auto& path : inputs) {
        std::ifstream file(path, std::ios::binary);
        // Exactly the input's size, so that reading past it is caught.
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        std::fprintf(stderr, "replaying %s (%zu bytes)\n", path.c_str(), bytes.size());
        alarm(20); // the default action of SIGALRM ends the process
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        alarm(0);
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return inputs.empty() ? 2 : 0;
}
