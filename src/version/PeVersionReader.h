#pragma once
// A portable reader of the version resource of PE files (.exe, .dll), for builds without
// Version.dll. Every offset and length taken from the file is checked against the bytes at
// hand before it is used: a truncated or hostile file simply has no version, and nothing is
// ever read outside the span given.

#include <cstdint>
#include <optional>
#include <span>

namespace varkel {

using ByteView = std::span<const std::uint8_t>;

// The bytes of the VS_VERSIONINFO resource of a PE file's contents: resource type RT_VERSION,
// name 1, in the neutral language, else US English, else the first language listed. None when
// the file is no PE file, has no such resource, or any structure on the way lies outside the
// file. A resource section that the file does not hold completely counts as absent.
std::optional<ByteView> FindVersionResource(ByteView image);

// The value of the root block ("\") of a VS_VERSIONINFO copy, where the fixed file information
// lies; it may be empty. The block's own length may reach past the end of the copy (a copy cut
// short by its reader), but its header, its "VS_VERSION_INFO" key and its value must lie within
// both the copy and that length.
std::optional<ByteView> FindRootBlockValue(ByteView versionInfo);

} // namespace varkel
