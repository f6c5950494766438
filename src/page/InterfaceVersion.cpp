#include "page/Varkel1Page.h"

namespace varkel {

namespace {
const Text VersionLocation = u"in Function GetInterfaceVersion() of the ";
}

std::int32_t Varkel1Page::GetInterfaceVersion(Text& strVersion) {
    try {
        Text path = platform_.Module.Folder() + u"\\" + platform_.Module.BaseName() + u".dll";
        auto fileSystem = platform_.HostObjects.CreateFileSystemObject();
        if (fileSystem->FileExists(path)) {
            Text version = fileSystem->GetFileVersion(path);
            if (!version.empty()) {
                strVersion = version;
            }
        }
        return 1;
    } catch (const Failure& failure) {
        ReportFailure(VersionLocation, failure);
    } catch (const std::exception& error) {
        ReportUnexpected(VersionLocation, error);
    }
    strVersion = u"0.0.0.0";
    return 0;
}

std::int32_t Varkel1Page::RefuseGetInterfaceVersion(const Failure& failure) {
    ReportFailure(VersionLocation, failure);
    return 0;
}

} // namespace varkel
