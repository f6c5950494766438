#pragma once
// The state the stand-in objects answer from: values under HKCU\Software\varkel\StandIn, set
// by the host program and by tests before they create the page. Read afresh on every call, so
// that a new object reflects the host's current selection.
//
//   CurrentInterfaceName, CurrentInterfaceInstallPath, CurrentQXServerName,
//   CurrentLocalHostName, CurrentAPINodeForMDB, CurrentMDBPath   the host object's properties
//   BinaryName                  GetBinaryName's answer (the interface name when absent)
//   LastBinaryNameArguments     written by GetBinaryName: its three arguments joined by "|"
//   FailMember, FailCode        a member whose calls fail with the HRESULT FailCode (DWORD):
//                               raised, or returned when of the dispatch facility

#include <windows.h>

#include <optional>
#include <string>

namespace standins {

inline constexpr wchar_t StateKey[] = L"Software\\varkel\\StandIn";

std::optional<std::wstring> ReadText(const wchar_t* name);
void WriteText(const wchar_t* name, const std::wstring& value);
// The HRESULT a call of `member` fails with, or S_OK.
HRESULT InjectedFailure(const wchar_t* member);

} // namespace standins
