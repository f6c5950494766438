#pragma once
// The automation objects the page creates: the host application object ("Nuxworks.Class1"),
// the host's settings component ("DAZir.QXInterfaceSettings") and the scripting runtime's
// file-system object ("Scripting.FileSystemObject"). Creation and every call may throw a
// Failure (429 when the class cannot be created, the HRESULT or the object's own error when a
// call fails).

#include "common/Text.h"

#include <memory>

namespace varkel {

class HostApplicationObject {
public:
    virtual ~HostApplicationObject() = default;
    // A property read without arguments, turned into text.
    virtual Text PropertyText(const Text& name) = 0;
};

class SettingsComponent {
public:
    virtual ~SettingsComponent() = default;
    // Answers the interface executable's base name, without extension.
    virtual Text GetBinaryName(Text& interfaceName, Text& apiNodeForMdb, Text& serverName) = 0;
};

class FileSystemObject {
public:
    virtual ~FileSystemObject() = default;
    virtual bool FileExists(Text& path) = 0;
    virtual Text GetFileVersion(Text& path) = 0; // empty when the file has no version
};

class HostObjectsPort {
public:
    virtual ~HostObjectsPort() = default;
    virtual std::shared_ptr<HostApplicationObject> CreateHostApplication() = 0;
    virtual std::shared_ptr<SettingsComponent> CreateSettingsComponent() = 0;
    virtual std::shared_ptr<FileSystemObject> CreateFileSystemObject() = 0;
};

} // namespace varkel
