#include "StandInState.h"

#include "core/HostError.h"
#include "core/TextCodec.h"

#include "win32/adapters/UniqueHandle.h"
#include <windows.h>

namespace varkel::host::win32 {

namespace {

constexpr wchar_t stateKey[] = L"Software\\varkel\\StandIn";

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LSTATUS status =
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    if (status != ERROR_SUCCESS) {
        throw HostError(ExitCode::Hosting, "the host state " + Utf8FromWide(name) +
                                               " cannot be written to HKCU\\" +
                                               Utf8FromWide(stateKey));
    }
}

} // namespace

void PublishHostState(const HostState& state) {
    varkel::win32::UniqueHkey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, stateKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS) {
        throw HostError(ExitCode::Hosting,
                        "HKCU\\" + Utf8FromWide(stateKey) + " cannot be opened for the host state");
    }
    SetText(key.Get(), L"CurrentInterfaceName", state.interfaceName);
    SetText(key.Get(), L"CurrentInterfaceInstallPath", state.installPath.wstring());
    SetText(key.Get(), L"BinaryName", state.binaryName);
}

} // namespace varkel::host::win32
