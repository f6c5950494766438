#pragma once
// What the process holds, for telling a leak from a cache: the task allocator's blocks (BSTRs,
// SAFEARRAYs, VARIANT payloads) counted by a malloc spy, the bytes in use in the process's
// heaps (the C runtime's blocks among them, and so the control's own C++ objects), and the
// process's private commit.

#include <windows.h>

#include <objbase.h>
#include <psapi.h>

#include <atomic>
#include <cstddef>

namespace varkel::testing {

// Counts the task allocator's blocks allocated since it was registered and not yet freed.
// One instance for the process: the platform may keep calling a spy whose revocation is
// pending until every block it saw is freed.
class TaskAllocationSpy final : public IMallocSpy {
public:
    static TaskAllocationSpy& Instance() {
        static TaskAllocationSpy spy;
        return spy;
    }

    // Registers the spy once and turns off the BSTR cache, which would otherwise keep freed
    // strings and hide them from the count.
    static bool Register() {
        static const bool registered = [] {
            using NoCache = void(WINAPI*)();
            if (HMODULE automation = GetModuleHandleW(L"oleaut32.dll")) {
                if (const auto noCache = reinterpret_cast<NoCache>(
                        reinterpret_cast<void (*)()>(GetProcAddress(automation, "SetOaNoCache")))) {
                    noCache();
                }
            }
            return SUCCEEDED(CoRegisterMallocSpy(&Instance()));
        }();
        return registered;
    }

    long Outstanding() const { return outstanding_.load(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMallocSpy)) {
            *object = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override { return request; }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
        if (actual != nullptr) {
            ++outstanding_;
        }
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL spied) override {
        if (request != nullptr && spied) {
            --outstanding_;
        }
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest,
                                        BOOL spied) override {
        if (request != nullptr && spied) {
            --outstanding_;
        }
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override {
        if (actual != nullptr) {
            ++outstanding_;
        }
        return actual;
    }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
    TaskAllocationSpy() = default;
    std::atomic<long> outstanding_{0};
};

// Bytes in use in all of the process's heaps, without allocating while it counts.
inline std::size_t HeapBytesInUse() {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    std::size_t bytes = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i])) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
                bytes += entry.cbData;
            }
        }
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

struct MemoryInUse {
    long taskBlocks = 0;
    std::size_t heapBytes = 0;
};

inline MemoryInUse MemoryNow() {
    return {TaskAllocationSpy::Instance().Outstanding(), HeapBytesInUse()};
}

// The process's private commit in bytes. Windows reports it as PrivateUsage and, the same
// figure, as PagefileUsage; Wine leaves PrivateUsage at 0 and keeps the commit in
// PagefileUsage.
inline std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters))) {
        return 0;
    }
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

} // namespace varkel::testing
