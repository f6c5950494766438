#pragma once
// Owner of one BSTR. Nothing takes ownership of a raw BSTR silently: Reset() and Receive() say
// so, and copying is deleted.

#include "win32/adapters/Win32.h"

#include "common/Text.h"

#include <oleauto.h>

namespace varkel::win32 {

// A new BSTR holding the text; throws std::bad_alloc when it cannot be allocated.
BSTR AllocateBstr(TextView text);
// The text of a BSTR; a null BSTR is the empty text.
Text TextFromBstr(BSTR bstr);

class ScopedBstr {
public:
    ScopedBstr() = default;
    explicit ScopedBstr(TextView text) : bstr_(AllocateBstr(text)) {}
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ScopedBstr(ScopedBstr&& other) noexcept : bstr_(other.Release()) {}
    ScopedBstr& operator=(ScopedBstr&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~ScopedBstr() { Reset(); }

    BSTR Get() const { return bstr_; }
    Text ToText() const { return TextFromBstr(bstr_); }
    // Takes ownership of `bstr` and frees the old value.
    void Reset(BSTR bstr = nullptr);
    // Gives ownership to the caller.
    BSTR Release();
    // For an out-parameter: frees the old value first.
    BSTR* Receive();
    // For an in/out parameter: the callee may free the value and store another.
    BSTR* InOut() { return &bstr_; }

private:
    BSTR bstr_ = nullptr;
};

} // namespace varkel::win32
