#pragma once
// The D/3 parameter page: the control varkel1 as a headless model. It owns its controls, runs
// their rules, and answers the host's five operations. The COM object and the view wrap it.
//
// Routines are spread over files by concern: Startup.cpp (members, start-up, the simple
// operations), Fields.cpp (reset, numeric test), EditingRules.cpp (field handlers),
// DebugLevel.cpp, Loading.cpp, Generation.cpp, Captions.cpp and InterfaceVersion.cpp. The
// switches are one table (Switches.h), the controls another (Layout.h).

#include "common/Failure.h"
#include "common/Text.h"
#include "common/Tokenizer.h"
#include "platform/ArgumentList.h"
#include "platform/CellValue.h"
#include "platform/InputTable.h"
#include "platform/Platform.h"
#include "toolkit/Controls.h"

#include <cstdint>
#include <memory>

namespace varkel {

struct PageSwitch;

class Varkel1Page {
public:
    // Builds the controls with their initial captions and wires their notifications. Start-up
    // proper (UserControl_Initialize) is a separate step so that the COM object can run it
    // once it is fully constructed.
    explicit Varkel1Page(const Platform& platform);
    Varkel1Page(const Varkel1Page&) = delete;
    Varkel1Page& operator=(const Varkel1Page&) = delete;

    void UserControl_Initialize();

    // The host's operations. None of them throws: failures are reported and end in the
    // operation's failure result.
    std::int32_t LoadDefaults(InputTable& saArguments, Text& strInstallationPath);
    std::int32_t GetAllArgumentsSafeArray(ArgumentList& saArguments);
    std::int32_t GetInterfaceVersion(Text& strVersion);
    bool ControlHasUnsavedChanges();
    Text ControlRequestedCommandLineDelimeter();

    // For a caller whose arguments could not be turned into the page's types: the operation
    // does not run; the failure is reported as the operation reports its own, and the result is
    // the operation's failure result.
    std::int32_t RefuseLoadDefaults(const Failure& failure);
    std::int32_t RefuseGetAllArgumentsSafeArray(const Failure& failure);
    std::int32_t RefuseGetInterfaceVersion(const Failure& failure);

    // Fields, reset and the numeric test.
    void ResetAll();
    bool CheckIfNumericValue(Text strValue, bool blnAllowMinus, bool blnAllowDecimalPoint,
                             bool blnAllowPlus);

    // Debug level.
    std::int32_t GetDBFlag();
    void ParseDBFlag(const CellValue& varLevel);

    // Captions and tooltips from the string table.
    void LoadCaptionsAndToolTips();

    // Field handlers, run by the controls' notifications.
    void chkDatabaseUpdates_Click();
    void chkHardwareShutdown_Click();
    void chkNullStrings_Click();
    void chkSequentialDB_Click();
    void txtAdditional_Change();
    void chkDelimiter_Click();
    void chkGLF_Click();
    void chkDigital_Click();
    void txtDelimiter_Change();
    void txtGLFerr_Change();
    void txtOutput_Change();
    void chkDebug_Click(std::int16_t Index);

    // The controls.
    Frame fraGeneral;
    CheckBox chkDelimiter;
    TextField txtDelimiter;
    CheckBox chkGLF;
    TextField txtGLFerr;
    Label lblKS;
    CheckBox chkDigital;
    TextField txtOutput;
    CheckBox chkDatabaseUpdates;
    CheckBox chkHardwareShutdown;
    CheckBox chkNullStrings;
    CheckBox chkSequentialDB;
    Frame fraDebug;
    CheckBoxGroup chkDebug{6};
    Label lblDebugLevel;
    Label lblDBLevel;
    Frame fraAdditionalParameters;
    TextField txtAdditional;

    // Read-only views of the members, for the adapters and tests.
    const Text& InterfaceNameValue() const { return InterfaceName; }
    const Text& InstallationPathValue() const { return InstallationPath; }
    const Text& InterfaceBinaryVersionValue() const { return InterfaceBinaryVersion; }
    const Platform& Ports() const { return platform_; }

private:
    // Location text of a page routine: prefix + InterfaceName + " NUX Control".
    Text Location(const Text& prefix) const;
    void ReportFailure(const Text& prefix, const Failure& failure);
    void ReportUnexpected(const Text& prefix, const std::exception& error);
    void WireNotifications();
    void ApplyInitialCaptions();
    void ApplyValueSwitch(CheckBox& box, TextField& field, const Text& value);
    // One switch of generation: emit it as its box or the debug level says, or prompt about a
    // value its rule refused.
    void EmitSwitch(ArgumentList& list, const PageSwitch& row);
    void ApplyPairedBoxRule(const PageSwitch& row);
    void ApplyNumberRule(CheckBox& box, TextField& field);

    const Platform platform_;

    bool HasUnsavedChanges = false;
    Text InterfaceName;
    Text InstallationPath;
    Text InterfaceBinaryVersion;
    std::shared_ptr<HostApplicationObject> HostApplication;
    // Hold the copy of txtAdditional that generation splits and the table it is split into,
    // kept for the next call.
    Text additionalBuffer_;
    ParsedArguments splitBuffer_;
};

} // namespace varkel
