#pragma once
// The bundle of ports handed to a page: everything outside the page that it talks to.

#include "platform/HostObjects.h"
#include "platform/LogLibraryPort.h"
#include "platform/ModuleLocationPort.h"
#include "platform/VersionApiPort.h"
#include "toolkit/MessageBoxPort.h"
#include "toolkit/StringTablePort.h"

namespace varkel {

struct Platform {
    MessageBoxPort& MessageBoxes;
    StringTablePort& Strings;
    LogLibraryPort& Log;
    HostObjectsPort& HostObjects;
    VersionApiPort& Versions;
    ModuleLocationPort& Module;
};

} // namespace varkel
