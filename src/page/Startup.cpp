#include "page/Varkel1Page.h"

#include "common/ErrorReporting.h"
#include "common/ExecutableVersion.h"
#include "common/ThreadState.h"
#include "common/TrappedFailure.h"

namespace varkel {

namespace {
const Text PageTitleText = u"QX Interface for GSE D/3 DBA NUX Control";
const Text InitializeLocation = u" in Subroutine UserControl_Initialize() of ";
const Text UnsavedChangesLocation = u"In Function ControlHasUnsavedChanges() of the ";
const Text DelimiterLocation = u"in Function ControlRequestedCommandLineDelimeter() of the ";
} // namespace

Varkel1Page::Varkel1Page(const Platform& platform) : platform_(platform) {
    ApplyInitialCaptions();
    WireNotifications();
}

Text Varkel1Page::Location(const Text& prefix) const {
    return prefix + InterfaceName + u" NUX Control";
}

void Varkel1Page::ReportFailure(const Text& prefix, const Failure& failure) {
    DisplayAndLogError(platform_, Location(prefix), failure);
}

void Varkel1Page::ReportUnexpected(const Text& prefix, const std::exception& error) {
    ReportFailure(prefix, AsTrappedFailure(error));
}

void Varkel1Page::UserControl_Initialize() {
    try {
        HostApplication = platform_.HostObjects.CreateHostApplication();
        InterfaceName = HostApplication->PropertyText(u"CurrentInterfaceName");
        InstallationPath = HostApplication->PropertyText(u"CurrentInterfaceInstallPath");
        ClearExecutableCaches();
        InterfaceBinaryVersion = GetInterfaceBinaryVersion(platform_, InstallationPath);
        auto& thread = CurrentThreadState();
        thread.PageTitle = PageTitleText;
        thread.LogPrefix = u"QX NUX> " + InterfaceName + u"> ";
        LoadCaptionsAndToolTips();
        ResetAll();
    } catch (const Failure& failure) {
        ReportFailure(InitializeLocation, failure);
    } catch (const std::exception& error) {
        ReportUnexpected(InitializeLocation, error);
    }
}

bool Varkel1Page::ControlHasUnsavedChanges() {
    try {
        return HasUnsavedChanges;
    } catch (const std::exception& error) {
        ReportUnexpected(UnsavedChangesLocation, error);
    }
    return false;
}

Text Varkel1Page::ControlRequestedCommandLineDelimeter() {
    try {
        return u"/";
    } catch (const std::exception& error) {
        ReportUnexpected(DelimiterLocation, error);
    }
    return {};
}

} // namespace varkel
