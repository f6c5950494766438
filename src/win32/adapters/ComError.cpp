#include "win32/adapters/Win32.h"

#include "win32/adapters/ComError.h"

#include "win32/adapters/TextConversion.h"

#include <new>

namespace varkel::win32 {

namespace {

Text SystemMessage(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) {
        return {};
    }
    Text message = TextFromWide(std::wstring_view(buffer, length));
    LocalFree(buffer);
    while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' ||
                                message.back() == u' ' || message.back() == u'.')) {
        message.pop_back();
    }
    return message;
}

} // namespace

Text FailedCallText(HRESULT hr, TextView what) {
    return Text(what) + u" failed (0x" + HexText(hr) + u")";
}

Failure FailureFromHResult(HRESULT hr, TextView what) {
    Text description = FailedCallText(hr, what);
    if (const Text message = SystemMessage(hr); !message.empty()) {
        description += u": " + message;
    }
    return Failure(hr, OwnSource, description);
}

HRESULT ResultFromCaughtException() noexcept {
    try {
        throw;
    } catch (const Failure& failure) {
        if (failure.Number < 0) {
            return static_cast<HRESULT>(failure.Number);
        }
        if (failure.Number > 0 && failure.Number <= 0xFFFF) {
            return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, failure.Number);
        }
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace varkel::win32
