#include "StandInState.h"

namespace standins {

std::optional<std::wstring> ReadText(const wchar_t* name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, StateKey, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, StateKey, name, RRF_RT_REG_SZ, nullptr, value.data(),
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(wcslen(value.c_str()));
    return value;
}

void WriteText(const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, StateKey, name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

HRESULT InjectedFailure(const wchar_t* member) {
    const auto failing = ReadText(L"FailMember");
    if (!failing || _wcsicmp(failing->c_str(), member) != 0) {
        return S_OK;
    }
    DWORD code = 0;
    DWORD size = sizeof(code);
    if (RegGetValueW(HKEY_CURRENT_USER, StateKey, L"FailCode", RRF_RT_REG_DWORD, nullptr, &code,
                     &size) != ERROR_SUCCESS) {
        return E_FAIL;
    }
    return static_cast<HRESULT>(code);
}

} // namespace standins
