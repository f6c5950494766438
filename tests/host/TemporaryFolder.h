#pragma once
// A fresh temporary folder per test, removed afterwards.

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

namespace varkel::host::testing {

namespace fs = std::filesystem;

struct TemporaryFolder {
    TemporaryFolder() { fs::create_directories(path_); }
    ~TemporaryFolder() {
        std::error_code ignored; // read-only files and folders are writable again first
        for (const auto& entry : fs::directory_iterator(path_, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        }
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }
    fs::path Write(const std::string& name, std::string_view content) const {
        return WriteFile(path_ / name, content);
    }
    static fs::path WriteFile(const fs::path& file, std::string_view content) {
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }
    static std::string Read(const fs::path& file) {
        return (std::ostringstream() << std::ifstream(file, std::ios::binary).rdbuf()).str();
    }
    std::string Listing() const { // the entries' names, sorted, separated by blanks
        std::string names;
        for (const auto& name :
             std::set<fs::path>(fs::directory_iterator(path_), fs::directory_iterator())) {
            names.append(names.empty() ? "" : " ").append(name.filename().string());
        }
        return names;
    }

    const fs::path path_ =
        fs::temp_directory_path() / ("varkel-host-test-" + std::to_string(std::random_device{}()));
};

} // namespace varkel::host::testing
