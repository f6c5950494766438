#pragma once
// An owning pointer to a COM interface, shaped like unique_ptr: it releases what it holds, a
// copy adds a reference, Receive() serves out-parameters and releases the old pointer first.

#include "win32/adapters/Win32.h"

#include <objbase.h>

#include <cstddef>
#include <utility>

namespace varkel::win32 {

template <typename Interface> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Shares the pointer: adds a reference of its own.
    explicit ComPtr(Interface* pointer) : pointer_(pointer) {
        if (pointer_ != nullptr) {
            pointer_->AddRef();
        }
    }
    ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
    // Takes over a reference the caller owns, without adding one.
    static ComPtr Adopt(Interface* pointer) {
        ComPtr adopted;
        adopted.pointer_ = pointer;
        return adopted;
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    void Reset() {
        if (Interface* old = std::exchange(pointer_, nullptr)) {
            old->Release();
        }
    }
    Interface** Receive() {
        Reset();
        return &pointer_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    // Gives the reference away, e.g. to an out-parameter.
    Interface* Detach() { return std::exchange(pointer_, nullptr); }

    // The object's other interface, or an empty pointer when it has none.
    template <typename Other> ComPtr<Other> As(REFIID iid) const {
        ComPtr<Other> other;
        if (pointer_ != nullptr) {
            pointer_->QueryInterface(iid, other.ReceiveVoid());
        }
        return other;
    }

private:
    Interface* pointer_ = nullptr;
};

} // namespace varkel::win32
