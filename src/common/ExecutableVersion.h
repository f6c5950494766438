#pragma once
// The interface executable's name and file version, determined through the host's objects and
// cached per thread.

#include "common/Text.h"
#include "platform/Platform.h"

namespace varkel {

// Empties the thread's executable-name and executable-version caches.
void ClearExecutableCaches();

// The executable's file name ("<base name>.exe") from the host's settings component.
Text GetInterfaceBinaryName(const Platform& platform);

// The file version of the executable in `path` as "a.b.c.d"; "0.0.0.0" when it has none.
Text GetInterfaceBinaryVersion(const Platform& platform, const Text& path);

} // namespace varkel
