#pragma once
// Owner of one handle of the system's, closed with it by the function that closes its kind, so
// that a handle's lifetime is a scope. Shaped like the other owners here: Get, Reset, Release,
// and Receive() for out-parameters, which closes the old handle first. Copying is deleted.

#include "win32/adapters/Win32.h"

#include <utility>

namespace varkel::win32 {

template <typename Handle, auto Close> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Takes ownership of `handle` and closes the old one.
    void Reset(Handle handle = nullptr) {
        if (Handle old = std::exchange(handle_, handle); old != nullptr && old != handle) {
            Close(old);
        }
    }
    Handle Release() { return std::exchange(handle_, nullptr); }
    Handle* Receive() {
        Reset();
        return &handle_;
    }

private:
    Handle handle_ = nullptr;
};

using UniqueHkey = UniqueHandle<HKEY, RegCloseKey>;
using UniqueHfont = UniqueHandle<HFONT, DeleteObject>;
using UniqueHbrush = UniqueHandle<HBRUSH, DeleteObject>;
using UniqueHbitmap = UniqueHandle<HBITMAP, DeleteObject>;
using UniqueHdc = UniqueHandle<HDC, DeleteDC>;
using UniqueHmodule = UniqueHandle<HMODULE, FreeLibrary>;
using UniqueHhook = UniqueHandle<HHOOK, UnhookWindowsHookEx>;

} // namespace varkel::win32
