#pragma once
// The version fixtures built by tests/fixtures and the text each must give. The native tests
// hold the portable reader to it, the Windows tests Version.dll: so the two readers agree.

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
