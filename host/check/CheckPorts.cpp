#include "CheckPorts.h"

#include "common/Failure.h"
#include "core/TextCodec.h"

namespace varkel::check {

const char* KindName(Finding::Kind kind) {
    switch (kind) {
    case Finding::Kind::Box:
        return "box";
    case Finding::Kind::Log:
        return "log";
    case Finding::Kind::Dropped:
        return "dropped";
    case Finding::Kind::Joined:
        return "joined";
    case Finding::Kind::Twice:
        break;
    }
    return "twice";
}

MessageBoxAnswer CheckPorts::ShowModal(const MessageBoxRequest& request) {
    findings_.push_back({Finding::Kind::Box, host::Utf8FromText(request.Message), concerns_});
    return request.Buttons == MessageBoxButtons::YesNo ? MessageBoxAnswer::Yes
                                                       : MessageBoxAnswer::Ok;
}

// Captions and tooltips are never shown here.
Text CheckPorts::Load(int) {
    return {};
}

std::int32_t CheckPorts::FormPutLog(const Text& message, const Text&) {
    findings_.push_back({Finding::Kind::Log, host::Utf8FromText(message), concerns_});
    return 0;
}

// Views of this object: the ports live as long as the page they serve.
std::shared_ptr<HostApplicationObject> CheckPorts::CreateHostApplication() {
    return std::shared_ptr<HostApplicationObject>(std::shared_ptr<void>{}, this);
}

std::shared_ptr<SettingsComponent> CheckPorts::CreateSettingsComponent() {
    return std::shared_ptr<SettingsComponent>(std::shared_ptr<void>{}, this);
}

// Only the page's own version needs it, and a check never asks for that.
std::shared_ptr<FileSystemObject> CheckPorts::CreateFileSystemObject() {
    throw Failures::CannotCreateObject();
}

// The server, local host, API node and database path are the host's own settings, which a
// start-up file does not hold; the page only passes them on.
Text CheckPorts::PropertyText(const Text& name) {
    if (name == u"CurrentInterfaceName") {
        return facts_.name;
    }
    return name == u"CurrentInterfaceInstallPath" ? facts_.installPath : Text();
}

Text CheckPorts::GetBinaryName(Text&, Text&, Text&) {
    return facts_.binaryName;
}

} // namespace varkel::check
