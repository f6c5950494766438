#pragma once
// Values kept once per thread and shared by every page created on it. Each page start-up
// overwrites them; pages on other threads never see them.

#include "common/Text.h"
#include "platform/HostObjects.h"

#include <memory>

namespace varkel {

struct ThreadState {
    Text PageTitle; // title of the error box and of the incorrect-argument prompt
    Text LogPrefix; // handed to the log call with every line

    // The interface executable: caches emptied by every page start-up.
    Text ExecutableNameCache;
    Text ExecutableVersionCache;
    Text InstallationPath; // the path last handed to GetInterfaceBinaryVersion
    Text ExecutablePath;   // the executable last looked at

    // The host's answers read while determining the executable.
    std::shared_ptr<HostApplicationObject> HostApplication;
    std::shared_ptr<SettingsComponent> Settings;
    Text ServerName;
    Text InterfaceName;
    Text LocalHostName;
    Text ApiNodeForMdb;
    Text MdbPath;
};

ThreadState& CurrentThreadState();

} // namespace varkel
