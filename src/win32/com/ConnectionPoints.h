#pragma once
// The control's one connection point, for its event interface __varkel1, which declares no
// events: sinks can connect and disconnect, and are never called. The connection point lives
// inside the control and shares its lifetime (its AddRef and Release are the control's), but
// it is an object of its own: its QueryInterface answers IUnknown and IConnectionPoint only.

#include "win32/adapters/Win32.h"

#include "win32/adapters/ComPtr.h"

#include <ocidl.h>

#include <utility>
#include <vector>

namespace varkel::com {

class EventConnectionPoint final : public IConnectionPoint {
public:
    EventConnectionPoint(IConnectionPointContainer& container, const IID& events)
        : container_(container), events_(events) {}
    EventConnectionPoint(const EventConnectionPoint&) = delete;
    EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return container_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return container_.Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    // Releases every sink; the control calls it as it goes.
    void DisconnectAll() { sinks_.clear(); }

private:
    IConnectionPointContainer& container_;
    IID events_;
    std::vector<std::pair<DWORD, win32::ComPtr<IUnknown>>> sinks_;
    DWORD nextCookie_ = 1;
};

// An enumerator over the control's connection points.
HRESULT CreateConnectionPointEnumerator(std::vector<win32::ComPtr<IConnectionPoint>> points,
                                        IEnumConnectionPoints** enumerator);

} // namespace varkel::com
