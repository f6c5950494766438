#pragma once
// The page's ports for a check without a window. Boxes and log lines are recorded instead of
// shown, each with the switch it concerns; every box is answered with its default button, as
// Enter would answer it (Yes keeps a typed value and the testing bit, OK goes on), which is what
// varkel-host does when nobody is there. The host objects answer what a host would say about
// the interface a start-up file starts.

#include "common/Text.h"
#include "platform/Platform.h"
#include "version/PortableVersionApi.h"

#include <string>
#include <vector>

namespace varkel::check {

struct Finding {
    // Box and Log come from the page; Dropped, Joined and Twice name an argument a save would
    // lose, join into another or give the interface twice.
    enum class Kind { Box, Log, Dropped, Joined, Twice };
    Kind kind = Kind::Box;
    std::string text;       // UTF-8, line breaks as the page wrote them
    std::string concerns;   // the switch or argument, UTF-8; empty for free text or the page
    std::size_t column = 0; // where that argument starts on the command line, in UTF-16 code
                            // units from 1; 0 when not known
};

// The kind as the reports name it: "box", "log", "dropped", "joined".
const char* KindName(Finding::Kind kind);

struct InterfaceFacts {
    Text name;        // "d3int" for d3int.bat
    Text installPath; // the file's folder
    Text binaryName;  // the executable on the command line, without folder or ".exe"
};

class CheckPorts final : MessageBoxPort,
                         StringTablePort,
                         LogLibraryPort,
                         HostObjectsPort,
                         HostApplicationObject,
                         SettingsComponent,
                         ModuleLocationPort {
public:
    explicit CheckPorts(InterfaceFacts facts) : facts_(std::move(facts)) {}
    CheckPorts(const CheckPorts&) = delete;
    CheckPorts& operator=(const CheckPorts&) = delete;

    const Platform& Ports() const { return platform_; }
    // What the findings recorded from now on concern.
    void Concerning(std::string switchName) { concerns_ = std::move(switchName); }
    std::vector<Finding> TakeFindings() { return std::move(findings_); }

private:
    MessageBoxAnswer ShowModal(const MessageBoxRequest& request) override;
    Text Load(int number) override;
    std::int32_t FormPutLog(const Text& message, const Text& prefix) override;
    std::shared_ptr<HostApplicationObject> CreateHostApplication() override;
    std::shared_ptr<SettingsComponent> CreateSettingsComponent() override;
    std::shared_ptr<FileSystemObject> CreateFileSystemObject() override;
    Text PropertyText(const Text& name) override;
    Text GetBinaryName(Text& interfaceName, Text& apiNodeForMdb, Text& serverName) override;
    Text Folder() override { return {}; }
    Text BaseName() override { return {}; }

    InterfaceFacts facts_;
    std::string concerns_;
    std::vector<Finding> findings_;
    PortableVersionApi versions_;
    const Platform platform_{*this, *this, *this, *this, versions_, *this};
};

} // namespace varkel::check
