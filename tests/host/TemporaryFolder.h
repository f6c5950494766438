#pragma once
// A fresh folder per test under the system's temporary folder, removed afterwards.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <string_view>

namespace varkel::host::testing {

class TemporaryFolder {
public:
    TemporaryFolder() { std::filesystem::create_directories(path_); }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder() {
        std::error_code ignored; // read-only files and folders are writable again first
        for (const auto& entry : std::filesystem::directory_iterator(path_, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path Write(const std::string& name, std::string_view content) const {
        return WriteFile(path_ / name, content);
    }
    static std::filesystem::path WriteFile(const std::filesystem::path& file,
                                           std::string_view content) {
        std::ofstream(file, std::ios::binary)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
        return file;
    }
    static std::string Read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Names of the folder's entries, sorted, separated by blanks.
    std::string Listing() const {
        std::set<std::string> sorted;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            sorted.insert(entry.path().filename().string());
        }
        std::string names;
        for (const std::string& name : sorted) {
            names += names.empty() ? name : " " + name;
        }
        return names;
    }

private:
    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("varkel-host-test-" + std::to_string(std::random_device{}()) +
                                   std::to_string(std::random_device{}()));
};

} // namespace varkel::host::testing
