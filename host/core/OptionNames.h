#pragma once
// The spellings of the options both programs share. Their rows use them, and so do the
// messages that name the option a user can mend a refusal with, so that renaming an option
// renames it in both.

#include <string_view>

namespace varkel::host {

inline constexpr std::string_view HostSwitchOptionName = "--host-switch";
inline constexpr std::string_view BinaryNameOptionName = "--binary-name";
inline constexpr std::string_view CodePageOptionName = "--code-page";
inline constexpr std::string_view AllowLossOptionName = "--allow-loss";

} // namespace varkel::host
