#pragma once
// The version fixtures built by tests/fixtures and the text each must give, which Version.dll
// gave for the same files when the table was made.

#include <utility>

namespace varkel::testing {

// Each fixture's file name and version text.
inline constexpr std::pair<const char*, const char*> VersionFixtureTable[] = {
    {"version-2.5.10.300.exe", "2.5.10.300"},
    {"version-40000.65535.1.2.exe", "40000.65535.1.2"},
    {"no-version.exe", "0.0.0.0"},
    {"large-version.exe", "3.1.4.1"},
    {"two-languages.exe", "2.0.0.2"},
    {"german.exe", "1.0.0.1"},
    {"truncated.exe", "0.0.0.0"},
    {"does-not-exist.exe", "0.0.0.0"},
};

} // namespace varkel::testing
