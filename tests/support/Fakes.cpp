#include "support/Fakes.h"

#include "common/Failure.h"

#include <cstring>

namespace varkel::testing {

MessageBoxAnswer ScriptedMessageBoxes::ShowModal(const MessageBoxRequest& request) {
    shown.push_back(request);
    if (failure) {
        throw *failure;
    }
    if (whileShown) {
        whileShown();
    }
    if (answers_.empty()) {
        ++unexpected;
        return request.Buttons == MessageBoxButtons::YesNo ? MessageBoxAnswer::Yes
                                                           : MessageBoxAnswer::Ok;
    }
    const auto answer = answers_.front();
    answers_.pop_front();
    return answer;
}

FakeStringTable::FakeStringTable()
    : strings{
          {101, u"Specify delimiter other than colon (:) in InstrumentTag"},
          {102, u"Treat GLF errors for continuous points differently"},
          {103, u"Send the value to the DCS if the QX tag has a digital state"},
          {104, u"Check for D/3 database updates"},
          {105, u"D/3 will notify interface of hardware shutdown"},
          {106, u"Store Null strings as blank strings in QX"},
          {107, u"Do not use sequential database"},
          {108, u"Enter any additional parameter which the NUX Control does not support."},
          {109, u"Specify delimiter other than colon for the InstrumentTag point attribute "
                u"(/ITDELIM=x)"},
          {110, u"Specify time interface will delay before making another GLF call (in minutes) "
                u"NOT RECOMMENDED (/KS=#)"},
          {111, u"Use with Location2=-3 to send the number to the DCS if the QX tag has a "
                u"digital value (/VAL=#)"},
          {112, u"Force the interface to check for D/3 database updates. Otherwise, the "
                u"interface only checks when a -69 error is received. (/CH)"},
          {113, u"D/3 will notify the interface of a hardware shutdown (/HW)"},
          {114, u"Store NULL strings as blank strings in QX (/BL)"},
          {115, u"Do not use the sequential database (/NOSEQ)"},
          {118, u"Additional Parameters"},
          {119, u"Tag information"},
          {120, u"D3 source tag information"},
          {121, u"D3 sequence data status"},
          {122, u"D3 read/write status"},
          {123, u"Digital output values"},
          {124, u"Tag information (/DB=1)"},
          {125, u"D3 source tag information (/DB=2)"},
          {126, u"D3 sequence data status (/DB=4)"},
          {127, u"D3 read/write status (/DB=8)"},
          {128, u"Digital output values (/DB=16)"},
          {129, u"Debug Parameters"},
          {130, u"General Parameters"},
          {131, u"Specify general parameters for the interface"},
          {132, u"Specify a debug level for the interface"},
          {135, u"minutes"},
          {136, u"Velmar Testing only"},
          {137, u"This parameter is used for Velmar testing only. Do not enable this setting "
                u"unless specifically instructed to do so by Velmar Technical Support. (/DB=32)"},
          {138, u"This displays the cumulative debug level that will be sent to the interface "
                u"startup file (/DB=#)"},
          {139, u"Debug level"},
      } {}

Text FakeStringTable::Load(int number) {
    const auto found = strings.find(number);
    if (found == strings.end()) {
        throw Failure(326, OwnSource,
                      u"Resource with identifier '" + DecimalText(number) + u"' not found");
    }
    return found->second;
}

std::int32_t RecordingLog::FormPutLog(const Text& message, const Text& prefix) {
    if (failure) {
        throw *failure;
    }
    lines.push_back({message, prefix});
    return status;
}

Text FakeHostApplication::PropertyText(const Text& name) {
    ++reads;
    if (failingProperty && *failingProperty == name) {
        throw Failure(438, OwnSource, u"Object doesn't support this property or method");
    }
    const auto found = properties.find(name);
    return found == properties.end() ? Text{} : found->second;
}

Text FakeSettings::GetBinaryName(Text& interfaceName, Text& apiNodeForMdb, Text& serverName) {
    ++calls;
    lastArguments = {interfaceName, apiNodeForMdb, serverName};
    if (failure) {
        throw *failure;
    }
    return binaryName;
}

bool FakeFileSystem::FileExists(Text& path) {
    if (failure) {
        throw *failure;
    }
    return versions.count(path) != 0;
}

Text FakeFileSystem::GetFileVersion(Text& path) {
    if (failure) {
        throw *failure;
    }
    return versions.at(path);
}

FakeHostObjects::FakeHostObjects() {
    host->properties = {
        {u"CurrentInterfaceName", u"if01"},
        {u"CurrentInterfaceInstallPath", u"C:\\Interfaces\\D3"},
        {u"CurrentQXServerName", u"qxserver"},
        {u"CurrentLocalHostName", u"node7"},
        {u"CurrentAPINodeForMDB", u"apinode"},
        {u"CurrentMDBPath", u"C:\\QX\\mdb"},
    };
}

std::shared_ptr<HostApplicationObject> FakeHostObjects::CreateHostApplication() {
    ++hostCreations;
    if (hostMissing) {
        throw Failures::CannotCreateObject();
    }
    return host;
}

std::shared_ptr<SettingsComponent> FakeHostObjects::CreateSettingsComponent() {
    ++settingsCreations;
    if (settingsMissing) {
        throw Failures::CannotCreateObject();
    }
    return settings;
}

std::shared_ptr<FileSystemObject> FakeHostObjects::CreateFileSystemObject() {
    if (fileSystemMissing) {
        throw Failures::CannotCreateObject();
    }
    return fileSystem;
}

std::uint32_t FakeVersionApi::VersionInfoSize(const Text& path) {
    requested.push_back(path);
    const auto found = resources.find(path);
    return found == resources.end() ? 0 : static_cast<std::uint32_t>(found->second.size());
}

bool FakeVersionApi::ReadVersionInfo(const Text& path, std::uint32_t length, std::uint8_t* buffer) {
    const auto found = resources.find(path);
    if (found == resources.end()) {
        return false;
    }
    std::memcpy(buffer, found->second.data(), std::min<std::size_t>(length, found->second.size()));
    return true;
}

std::optional<std::span<const std::uint8_t>>
FakeVersionApi::QueryRootBlock(std::span<const std::uint8_t> buffer) {
    // The fake's resources are the bare root block.
    if (buffer.size() < 2) {
        return std::nullopt;
    }
    return buffer.first(buffer.size() - 1);
}

void FakeVersionApi::AddFile(const Text& path, std::uint32_t versionMS, std::uint32_t versionLS) {
    std::uint32_t block[13] = {0xFEEF04BD, 0x00010000, versionMS, versionLS};
    std::vector<std::uint8_t> bytes(sizeof block);
    std::memcpy(bytes.data(), block, sizeof block);
    resources[path] = bytes;
}

FakePlatform::FakePlatform() = default;

} // namespace varkel::testing
