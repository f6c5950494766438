#pragma once
// Scripted stand-ins for the page's ports, for tests without windows.

#include "common/Failure.h"
#include "platform/Platform.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace varkel::testing {

struct MockMessageBoxes : MessageBoxPort {
    MOCK_METHOD(MessageBoxAnswer, ShowModal, (const MessageBoxRequest&), (override));
};

// The strings of resources/varkel.rc, read from the file itself.
struct FakeStringTable : StringTablePort {
    Text Load(int number) override;
    std::map<int, Text> strings;
};

struct LogLine {
    Text message, prefix;
    bool operator==(const LogLine&) const = default;
};

struct RecordingLog : LogLibraryPort {
    std::int32_t FormPutLog(const Text& message, const Text& prefix) override {
        if (failure) {
            throw *failure;
        }
        lines.push_back({message, prefix});
        return status;
    }
    std::vector<LogLine> lines;
    std::optional<Failure> failure;
    std::int32_t status = 0;
};

// The host answers interface "if01" in "C:\Interfaces\D3"; every object can be made missing
// or failing, and every call is counted.
struct FakeHostObjects : HostObjectsPort,
                         HostApplicationObject,
                         SettingsComponent,
                         FileSystemObject {
    std::shared_ptr<HostApplicationObject> CreateHostApplication() override {
        return Made<HostApplicationObject>(hostMissing, hostCreations);
    }
    std::shared_ptr<SettingsComponent> CreateSettingsComponent() override {
        return Made<SettingsComponent>(false, settingsCreations);
    }
    std::shared_ptr<FileSystemObject> CreateFileSystemObject() override {
        return Made<FileSystemObject>(false, fileSystemCreations);
    }
    Text PropertyText(const Text& name) override {
        if (failingProperty == name) {
            throw Failure(438, OwnSource, u"Object doesn't support this property or method");
        }
        return properties[name];
    }
    Text GetBinaryName(Text& interfaceName, Text& apiNodeForMdb, Text& serverName) override {
        settingsArguments.insert(settingsArguments.end(),
                                 {interfaceName, apiNodeForMdb, serverName});
        if (settingsFailure) {
            throw *settingsFailure;
        }
        return binaryName;
    }
    bool FileExists(Text& path) override {
        if (fileFailure) {
            throw *fileFailure;
        }
        return versions.count(path) != 0;
    }
    Text GetFileVersion(Text& path) override { return versions.at(path); }

    std::map<Text, Text> properties{{u"CurrentInterfaceName", u"if01"},
                                    {u"CurrentInterfaceInstallPath", u"C:\\Interfaces\\D3"},
                                    {u"CurrentQXServerName", u"qxserver"},
                                    {u"CurrentLocalHostName", u"node7"},
                                    {u"CurrentAPINodeForMDB", u"apinode"},
                                    {u"CurrentMDBPath", u"C:\\QX\\mdb"}};
    std::optional<Text> failingProperty;
    Text binaryName = u"d3intf";
    std::vector<Text> settingsArguments;
    std::map<Text, Text> versions; // path -> version ("" for a file without one)
    std::optional<Failure> settingsFailure, fileFailure;
    bool hostMissing = false;
    int hostCreations = 0, settingsCreations = 0, fileSystemCreations = 0;

    template <typename Port> std::shared_ptr<Port> Made(bool missing, int& creations) {
        ++creations;
        if (missing) {
            throw Failures::CannotCreateObject();
        }
        return std::shared_ptr<Port>(std::shared_ptr<void>{}, this);
    }
};

// Version resources by path; each is the bare root block, a VS_FIXEDFILEINFO. The size it
// reports (when `size` is set) and the root block's length (none without `root`) can be forced;
// the lengths it was asked to copy are recorded.
struct FakeVersionApi : VersionApiPort {
    std::uint32_t VersionInfoSize(const Text& path) override {
        requested.push_back(path);
        const auto found = resources.find(path);
        return found == resources.end() ? 0
               : size                   ? size
                                        : static_cast<std::uint32_t>(found->second.size());
    }
    bool ReadVersionInfo(const Text& path, std::uint32_t length, std::uint8_t* buffer) override {
        copied.push_back(length);
        const auto& bytes = resources.at(path);
        std::copy_n(bytes.begin(), std::min<std::size_t>(length, bytes.size()), buffer);
        return true;
    }
    std::optional<std::span<const std::uint8_t>>
    QueryRootBlock(std::span<const std::uint8_t> buffer) override {
        return root ? std::optional(buffer.first(std::min(buffer.size(), *root))) : std::nullopt;
    }

    void AddFile(const Text& path, std::uint32_t versionMS, std::uint32_t versionLS);
    std::map<Text, std::vector<std::uint8_t>> resources;
    std::vector<Text> requested;
    std::vector<std::size_t> copied;
    std::uint32_t size = 0;
    std::optional<std::size_t> root = 52; // the size of a VS_FIXEDFILEINFO
};

struct FakeModuleLocation : ModuleLocationPort {
    Text Folder() override { return folder; }
    Text BaseName() override { return baseName; }
    Text folder = u"C:\\Program Files\\varkel", baseName = u"varkel";
};

// A message box nobody expected fails the test, and so does an expected one that never came.
struct FakePlatform {
    void ExpectBox(
        MessageBoxAnswer answer = MessageBoxAnswer::Ok, std::function<void()> whileShown = [] {});

    ::testing::StrictMock<MockMessageBoxes> boxes;
    FakeStringTable strings;
    RecordingLog log;
    FakeHostObjects hostObjects;
    FakeVersionApi versions;
    FakeModuleLocation module;
    Platform ports{boxes, strings, log, hostObjects, versions, module};
    std::vector<MessageBoxRequest> shown;
    ::testing::Sequence order;
};

} // namespace varkel::testing
