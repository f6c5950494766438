#pragma once
// The host program's own command line. Texts are UTF-8; paths become std::filesystem::path.

#include "StartupFile.h"
#include "TextCodec.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace varkel::host {

enum class Answer { None, Yes, No };

struct HostOptions {
    std::filesystem::path file;
    HostSwitches hostSwitches;
    std::optional<std::string> interfaceName;         // default: the file's base name
    std::optional<std::filesystem::path> installPath; // default: the file's folder
    std::string binaryName;                           // empty: the command line's program
    unsigned codePage = DefaultCodePage;              // the system's ANSI code page
    bool save = false;
    bool allowLoss = false; // --save writes even when a save would lose arguments
    bool print = false;
    std::optional<std::filesystem::path> screenshot;
    Answer answer = Answer::None;
    bool help = false;
    bool version = false;

    // Runs without waiting for a person: load, do the requested things, exit.
    bool Headless() const { return save || print || screenshot.has_value(); }
};

// Throws HostError(Usage) with a message naming the offending argument.
HostOptions ParseHostOptions(const std::vector<std::string>& arguments);

std::string UsageText();
std::string VersionText(); // "varkel-host 1.0.0.0": the version varkel.dll carries

// The defaults a host derives from the file's location: "C:\If\d3int.bat" gives the interface
// "d3int" installed in "C:\If".
std::string DefaultInterfaceName(const std::filesystem::path& file);
std::filesystem::path DefaultInstallPath(const std::filesystem::path& file);

} // namespace varkel::host
