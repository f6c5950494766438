#pragma once
// A SAFEARRAY laid out so that touching one byte outside it faults at once: its descriptor
// ends against an inaccessible page, and so does its data (or, placed against the start, the
// data begins right after one). The descriptor and data are the test's own memory, marked
// static and fixed-size, so the platform neither frees nor moves them; the elements are the
// platform's as usual (BSTRs, VARIANTs and objects put in with SafeArrayPutElement are copied,
// and released again with the array).

#include <windows.h>

#include <oleauto.h>

#include <cstddef>
#include <vector>

namespace varkel::testing {

enum class GuardPlacement { DataAgainstEnd, DataAgainstStart };

class GuardedArray {
public:
    // `bounds` in the order of the indices (the first index's bound first), as for
    // SafeArrayCreate. Element types: VT_VARIANT, VT_BSTR, VT_DISPATCH, VT_UNKNOWN, VT_I4.
    GuardedArray(VARTYPE type, const std::vector<SAFEARRAYBOUND>& bounds,
                 GuardPlacement placement) {
        const std::size_t page = PageSize();
        const auto dimensions = static_cast<USHORT>(bounds.size());
        const std::size_t descriptorSize =
            sizeof(SAFEARRAY) + (dimensions > 1 ? dimensions - 1 : 0) * sizeof(SAFEARRAYBOUND);
        // The element type is kept in the four bytes before the descriptor.
        const std::size_t descriptorPages = Pages(descriptorSize + sizeof(DWORD), page);
        std::size_t cells = 1;
        for (const SAFEARRAYBOUND& bound : bounds) {
            cells *= bound.cElements;
        }
        const ULONG elementSize = ElementSize(type);
        const std::size_t dataSize = cells * elementSize;
        const std::size_t dataPages = Pages(dataSize, page);
        // guard | descriptor | guard | data | guard
        size_ = (descriptorPages + dataPages + 3) * page;
        base_ = static_cast<BYTE*>(
            VirtualAlloc(nullptr, size_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (base_ == nullptr) {
            return;
        }
        BYTE* descriptorEnd = base_ + (1 + descriptorPages) * page;
        BYTE* dataStart = descriptorEnd + page;
        BYTE* dataEnd = dataStart + dataPages * page;
        DWORD old = 0;
        VirtualProtect(base_, page, PAGE_NOACCESS, &old);
        VirtualProtect(descriptorEnd, page, PAGE_NOACCESS, &old);
        VirtualProtect(dataEnd, page, PAGE_NOACCESS, &old);

        array_ = reinterpret_cast<SAFEARRAY*>(descriptorEnd - descriptorSize);
        reinterpret_cast<DWORD*>(array_)[-1] = type;
        array_->cDims = dimensions;
        array_->fFeatures =
            static_cast<USHORT>(FADF_STATIC | FADF_FIXEDSIZE | FADF_HAVEVARTYPE | FeatureOf(type));
        array_->cbElements = elementSize;
        array_->cLocks = 0;
        array_->pvData =
            placement == GuardPlacement::DataAgainstEnd ? dataEnd - dataSize : dataStart;
        // The descriptor keeps its bounds last index first.
        for (USHORT i = 0; i < dimensions; ++i) {
            array_->rgsabound[dimensions - 1 - i] = bounds[i];
        }
    }
    GuardedArray(const GuardedArray&) = delete;
    GuardedArray& operator=(const GuardedArray&) = delete;
    ~GuardedArray() {
        if (array_ != nullptr) {
            // Releases the elements; static data is cleared, not freed.
            SafeArrayDestroyData(array_);
        }
        if (base_ != nullptr) {
            VirtualFree(base_, 0, MEM_RELEASE);
        }
    }

    SAFEARRAY* Get() const { return array_; }

private:
    static std::size_t PageSize() {
        SYSTEM_INFO system{};
        GetSystemInfo(&system);
        return system.dwPageSize;
    }
    static std::size_t Pages(std::size_t bytes, std::size_t page) {
        return bytes == 0 ? 1 : (bytes + page - 1) / page;
    }
    static ULONG ElementSize(VARTYPE type) {
        return type == VT_VARIANT ? sizeof(VARIANT) : sizeof(void*);
    }
    static USHORT FeatureOf(VARTYPE type) {
        switch (type) {
        case VT_VARIANT:
            return FADF_VARIANT;
        case VT_BSTR:
            return FADF_BSTR;
        case VT_DISPATCH:
            return FADF_DISPATCH;
        case VT_UNKNOWN:
            return FADF_UNKNOWN;
        default:
            return 0;
        }
    }

    BYTE* base_ = nullptr;
    std::size_t size_ = 0;
    SAFEARRAY* array_ = nullptr;
};

} // namespace varkel::testing
