#pragma once
// A fresh folder per test under the system's temporary folder, removed afterwards.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace varkel::host::testing {

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("varkel-host-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
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
        std::ofstream out(file, std::ios::binary);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        return file;
    }

    static std::string Read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Names of the folder's entries, sorted.
    std::string Listing() const {
        std::string names;
        std::vector<std::string> sorted;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            sorted.push_back(entry.path().filename().string());
        }
        std::sort(sorted.begin(), sorted.end());
        for (const std::string& name : sorted) {
            names += names.empty() ? name : " " + name;
        }
        return names;
    }

private:
    std::filesystem::path path_;
};

} // namespace varkel::host::testing
