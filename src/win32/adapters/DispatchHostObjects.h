#pragma once
// The host's automation objects, created by their programmatic identifiers and called by name
// through IDispatch: "Nuxworks.Class1", "DAZir.QXInterfaceSettings" and
// "Scripting.FileSystemObject".

#include "win32/adapters/Win32.h"

#include "platform/HostObjects.h"

namespace varkel::win32 {

class DispatchHostObjects final : public HostObjectsPort {
public:
    std::shared_ptr<HostApplicationObject> CreateHostApplication() override;
    std::shared_ptr<SettingsComponent> CreateSettingsComponent() override;
    std::shared_ptr<FileSystemObject> CreateFileSystemObject() override;
};

} // namespace varkel::win32
