#include "win32/adapters/Win32.h"

#include "win32/adapters/DispatchHostObjects.h"

#include "win32/adapters/Dispatch.h"
#include "win32/adapters/ScopedBstr.h"

#include <array>

namespace varkel::win32 {

namespace {

VARIANT ByReference(ScopedBstr& text) {
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&argument) = text.InOut();
    return argument;
}

class DispatchHostApplication final : public HostApplicationObject {
public:
    explicit DispatchHostApplication(DispatchObject object) : object_(std::move(object)) {}
    Text PropertyText(const Text& name) override { return VariantText(object_.Get(name).Get()); }

private:
    DispatchObject object_;
};

class DispatchSettings final : public SettingsComponent {
public:
    explicit DispatchSettings(DispatchObject object) : object_(std::move(object)) {}

    Text GetBinaryName(Text& interfaceName, Text& apiNodeForMdb, Text& serverName) override {
        ScopedBstr interfaceArgument(interfaceName);
        ScopedBstr apiNodeArgument(apiNodeForMdb);
        ScopedBstr serverArgument(serverName);
        std::array<VARIANT, 3> arguments{ByReference(interfaceArgument),
                                         ByReference(apiNodeArgument), ByReference(serverArgument)};
        const Text answer = VariantText(object_.Call(u"GetBinaryName", arguments).Get());
        // By reference: whatever the component left in the arguments is the caller's now.
        interfaceName = interfaceArgument.ToText();
        apiNodeForMdb = apiNodeArgument.ToText();
        serverName = serverArgument.ToText();
        return answer;
    }

private:
    DispatchObject object_;
};

class DispatchFileSystem final : public FileSystemObject {
public:
    explicit DispatchFileSystem(DispatchObject object) : object_(std::move(object)) {}

    bool FileExists(Text& path) override {
        ScopedBstr argument(path);
        std::array<VARIANT, 1> arguments{ByReference(argument)};
        const bool exists = VariantBool(object_.Call(u"FileExists", arguments).Get());
        path = argument.ToText();
        return exists;
    }

    Text GetFileVersion(Text& path) override {
        ScopedBstr argument(path);
        std::array<VARIANT, 1> arguments{ByReference(argument)};
        Text version = VariantText(object_.Call(u"GetFileVersion", arguments).Get());
        path = argument.ToText();
        return version;
    }

private:
    DispatchObject object_;
};

} // namespace

std::shared_ptr<HostApplicationObject> DispatchHostObjects::CreateHostApplication() {
    return std::make_shared<DispatchHostApplication>(DispatchObject::Create(u"Nuxworks.Class1"));
}

std::shared_ptr<SettingsComponent> DispatchHostObjects::CreateSettingsComponent() {
    return std::make_shared<DispatchSettings>(DispatchObject::Create(u"DAZir.QXInterfaceSettings"));
}

std::shared_ptr<FileSystemObject> DispatchHostObjects::CreateFileSystemObject() {
    return std::make_shared<DispatchFileSystem>(
        DispatchObject::Create(u"Scripting.FileSystemObject"));
}

} // namespace varkel::win32
