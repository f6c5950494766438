#pragma once
// Scripted stand-ins for the page's ports, for tests without windows.

#include "common/Failure.h"
#include "platform/Platform.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace varkel::testing {

// An ordered queue of expected message boxes and their answers. A box nobody expected is
// recorded and answered with the first button; Unexpected() lists them.
class ScriptedMessageBoxes : public MessageBoxPort {
public:
    void Expect(MessageBoxAnswer answer) { answers_.push_back(answer); }

    std::vector<MessageBoxRequest> shown;
    std::size_t Pending() const { return answers_.size(); }
    std::size_t unexpected = 0;
    std::optional<Failure> failure;   // when set, every box is recorded and then fails with it
    std::function<void()> whileShown; // runs while each box is up, as host code might

protected:
    MessageBoxAnswer ShowModal(const MessageBoxRequest& request) override;

private:
    std::deque<MessageBoxAnswer> answers_;
};

class FakeStringTable : public StringTablePort {
public:
    FakeStringTable(); // holds the component's strings 101 to 139
    Text Load(int number) override;
    std::map<int, Text> strings;
};

struct LogLine {
    Text message;
    Text prefix;
    bool operator==(const LogLine&) const = default;
};

class RecordingLog : public LogLibraryPort {
public:
    std::int32_t FormPutLog(const Text& message, const Text& prefix) override;
    std::vector<LogLine> lines;
    std::optional<Failure> failure; // when set, every call fails with it
    std::int32_t status = 0;
};

class FakeHostApplication : public HostApplicationObject {
public:
    Text PropertyText(const Text& name) override;
    std::map<Text, Text> properties;
    std::optional<Text> failingProperty;
    int reads = 0;
};

class FakeSettings : public SettingsComponent {
public:
    Text GetBinaryName(Text& interfaceName, Text& apiNodeForMdb, Text& serverName) override;
    Text binaryName = u"d3intf";
    std::optional<Failure> failure;
    int calls = 0;
    std::vector<Text> lastArguments;
};

class FakeFileSystem : public FileSystemObject {
public:
    bool FileExists(Text& path) override;
    Text GetFileVersion(Text& path) override;
    std::map<Text, Text> versions; // path -> version ("" for a file without one)
    std::optional<Failure> failure;
};

class FakeHostObjects : public HostObjectsPort {
public:
    FakeHostObjects();
    std::shared_ptr<HostApplicationObject> CreateHostApplication() override;
    std::shared_ptr<SettingsComponent> CreateSettingsComponent() override;
    std::shared_ptr<FileSystemObject> CreateFileSystemObject() override;

    std::shared_ptr<FakeHostApplication> host = std::make_shared<FakeHostApplication>();
    std::shared_ptr<FakeSettings> settings = std::make_shared<FakeSettings>();
    std::shared_ptr<FakeFileSystem> fileSystem = std::make_shared<FakeFileSystem>();
    bool hostMissing = false;
    bool settingsMissing = false;
    bool fileSystemMissing = false;
    int hostCreations = 0;
    int settingsCreations = 0;
};

// Version resources by path: the root block each file answers.
class FakeVersionApi : public VersionApiPort {
public:
    std::uint32_t VersionInfoSize(const Text& path) override;
    bool ReadVersionInfo(const Text& path, std::uint32_t length, std::uint8_t* buffer) override;
    std::optional<std::span<const std::uint8_t>>
    QueryRootBlock(std::span<const std::uint8_t> buffer) override;

    // A resource whose root block is a VS_FIXEDFILEINFO with this file version.
    void AddFile(const Text& path, std::uint32_t versionMS, std::uint32_t versionLS);
    std::map<Text, std::vector<std::uint8_t>> resources;
    std::vector<Text> requested;
};

class FakeModuleLocation : public ModuleLocationPort {
public:
    Text Folder() override { return folder; }
    Text BaseName() override { return baseName; }
    Text folder = u"C:\\Program Files\\varkel";
    Text baseName = u"varkel";
};

// Everything a page needs, with the host answering interface "if01" in "C:\Interfaces\D3".
struct FakePlatform {
    FakePlatform();
    ScriptedMessageBoxes boxes;
    FakeStringTable strings;
    RecordingLog log;
    FakeHostObjects hostObjects;
    FakeVersionApi versions;
    FakeModuleLocation module;
    Platform ports{boxes, strings, log, hostObjects, versions, module};
};

} // namespace varkel::testing
