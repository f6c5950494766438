// Stand-in for the QX API library: only its log call. Each call appends one line, the prefix,
// a TAB and the message, to the file named by the environment variable QXAPI_LOG_FILE or else
// by the value QxLogFile under HKCU\Software\varkel\StandIn. Without either it writes nothing.

#include <windows.h>

#include <cstring>
#include <string>

namespace {

std::wstring LogFileName() {
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableW(L"QXAPI_LOG_FILE", buffer, MAX_PATH * 2);
    if (length > 0 && length < MAX_PATH * 2) {
        return std::wstring(buffer, length);
    }
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\varkel\\StandIn", L"QxLogFile", RRF_RT_REG_SZ,
                     nullptr, buffer, &size) == ERROR_SUCCESS) {
        return buffer;
    }
    return {};
}

} // namespace

// Status 0 when the line was written (or there is nowhere to write it), -1 when the file could
// not be written.
extern "C" LONG __stdcall qxlg_formputlog(const char* message, const char* prefix) {
    const std::wstring file = LogFileName();
    if (file.empty()) {
        return 0;
    }
    std::string line = prefix != nullptr ? prefix : "";
    line += '\t';
    line += message != nullptr ? message : "";
    line += "\r\n";
    HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return -1;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(handle);
    return ok && written == line.size() ? 0 : -1;
}
