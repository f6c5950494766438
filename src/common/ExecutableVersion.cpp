#include "common/ExecutableVersion.h"

#include "common/ErrorReporting.h"
#include "common/ThreadState.h"
#include "common/TrappedFailure.h"
#include "version/FileVersion.h"

namespace varkel {

namespace {
const Text BinaryNameLocation = u" in Sub CommonNUXControlCode.GetInterfaceBinaryName";
const Text BinaryVersionLocation = u" in Sub CommonNUXControlCode.GetInterfaceBinaryVersion";

Text JoinPath(const Text& folder, const Text& file) {
    if (!folder.empty() && folder.back() == u'\\') {
        return folder + file;
    }
    return folder + u"\\" + file;
}

} // namespace

void ClearExecutableCaches() {
    auto& thread = CurrentThreadState();
    thread.ExecutableNameCache.clear();
    thread.ExecutableVersionCache.clear();
}

Text GetInterfaceBinaryName(const Platform& platform) {
    auto& thread = CurrentThreadState();
    if (!thread.ExecutableNameCache.empty()) {
        return thread.ExecutableNameCache;
    }
    try {
        thread.HostApplication = platform.HostObjects.CreateHostApplication();
        thread.ServerName = thread.HostApplication->PropertyText(u"CurrentQXServerName");
        thread.InterfaceName = thread.HostApplication->PropertyText(u"CurrentInterfaceName");
        thread.LocalHostName = thread.HostApplication->PropertyText(u"CurrentLocalHostName");
        thread.ApiNodeForMdb = thread.HostApplication->PropertyText(u"CurrentAPINodeForMDB");
        thread.MdbPath = thread.HostApplication->PropertyText(u"CurrentMDBPath");
        thread.Settings = platform.HostObjects.CreateSettingsComponent();
        thread.ExecutableNameCache =
            thread.Settings->GetBinaryName(thread.InterfaceName, thread.ApiNodeForMdb,
                                           thread.ServerName) +
            u".exe";
        return thread.ExecutableNameCache;
    } catch (const std::exception& error) {
        thread.ExecutableNameCache.clear();
        LogAndRaiseError(platform, AsTrappedFailure(error), BinaryNameLocation);
    }
}

Text GetInterfaceBinaryVersion(const Platform& platform, const Text& path) {
    auto& thread = CurrentThreadState();
    if (!thread.ExecutableVersionCache.empty()) {
        return thread.ExecutableVersionCache;
    }
    try {
        thread.InstallationPath = path;
        const Text name = GetInterfaceBinaryName(platform);
        thread.ExecutablePath = JoinPath(thread.InstallationPath, name);
        thread.ExecutableVersionCache =
            GetFileVersionText(platform.Versions, thread.ExecutablePath);
        return thread.ExecutableVersionCache;
    } catch (const std::exception& error) {
        thread.ExecutableVersionCache.clear();
        LogAndRaiseError(platform, AsTrappedFailure(error), BinaryVersionLocation);
    }
}

} // namespace varkel
