#pragma once
// Owner of one SAFEARRAY (destroyed with it). Copying is deleted; Receive() serves
// out-parameters and destroys the old array first.

#include "win32/adapters/Win32.h"

#include <oleauto.h>

#include <utility>

namespace varkel::win32 {

class ScopedSafeArray {
public:
    ScopedSafeArray() = default;
    ScopedSafeArray(const ScopedSafeArray&) = delete;
    ScopedSafeArray& operator=(const ScopedSafeArray&) = delete;
    ScopedSafeArray(ScopedSafeArray&& other) noexcept : array_(other.Release()) {}
    ScopedSafeArray& operator=(ScopedSafeArray&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~ScopedSafeArray() { Reset(); }

    SAFEARRAY* Get() const { return array_; }
    // Takes ownership of `array` and destroys the old one.
    void Reset(SAFEARRAY* array = nullptr) {
        if (SAFEARRAY* old = std::exchange(array_, array); old != nullptr && old != array) {
            SafeArrayDestroy(old);
        }
    }
    SAFEARRAY* Release() { return std::exchange(array_, nullptr); }
    SAFEARRAY** Receive() {
        Reset();
        return &array_;
    }

private:
    SAFEARRAY* array_ = nullptr;
};

} // namespace varkel::win32
