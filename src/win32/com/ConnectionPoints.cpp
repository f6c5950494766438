#include "win32/adapters/Win32.h"

#include "win32/com/ConnectionPoints.h"

#include "win32/adapters/ComError.h"
#include "win32/com/Module.h"
#include "win32/com/SingleInterfaceObject.h"

#include <olectl.h>

#include <algorithm>
#include <atomic>

namespace varkel::com {

namespace {

void AddItemReference(IConnectionPoint* point) {
    point->AddRef();
}
void ReleaseItem(IConnectionPoint* point) {
    point->Release();
}
void AddItemReference(const CONNECTDATA& connection) {
    connection.pUnk->AddRef();
}
void ReleaseItem(const CONNECTDATA& connection) {
    connection.pUnk->Release();
}

// A snapshot enumerator (IEnumConnectionPoints, IEnumConnections): it owns one reference per
// item and hands each caller a reference of its own.
template <typename EnumInterface, typename Item>
class Enumerator final : public SingleInterfaceObject<EnumInterface> {
public:
    Enumerator(const IID& iid, std::vector<Item> items, std::size_t position = 0)
        : SingleInterfaceObject<EnumInterface>(iid), items_(std::move(items)), position_(position) {
        for (const auto& item : items_) {
            AddItemReference(item);
        }
    }
    Enumerator(const Enumerator&) = delete;
    Enumerator& operator=(const Enumerator&) = delete;
    ~Enumerator() {
        for (const auto& item : items_) {
            ReleaseItem(item);
        }
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override {
        if (items == nullptr || (count > 1 && fetched == nullptr)) {
            return E_POINTER;
        }
        ULONG copied = 0;
        while (copied < count && position_ < items_.size()) {
            items[copied] = items_[position_++];
            AddItemReference(items[copied]);
            ++copied;
        }
        if (fetched != nullptr) {
            *fetched = copied;
        }
        return copied == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const std::size_t left = items_.size() - position_;
        position_ += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(EnumInterface** clone) override {
        if (clone == nullptr) {
            return E_POINTER;
        }
        *clone = nullptr;
        try {
            *clone = new Enumerator(this->InterfaceId(), items_, position_);
            return S_OK;
        } catch (...) {
            return win32::ResultFromCaughtException();
        }
    }

private:
    ModuleLock moduleLock_;
    std::vector<Item> items_;
    std::size_t position_;
};

} // namespace

HRESULT STDMETHODCALLTYPE EventConnectionPoint::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) {
        return E_POINTER;
    }
    *iid = events_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE
EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (container == nullptr) {
        return E_POINTER;
    }
    *container = &container_;
    container_.AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (cookie == nullptr) {
        return E_POINTER;
    }
    *cookie = 0;
    if (sink == nullptr) {
        return E_POINTER;
    }
    try {
        // A sink must speak the event interface; plain IDispatch sinks are what scripting
        // hosts offer for a dispinterface.
        win32::ComPtr<IUnknown> events;
        if (FAILED(sink->QueryInterface(events_, events.ReceiveVoid())) &&
            FAILED(sink->QueryInterface(IID_IDispatch, events.ReceiveVoid()))) {
            return CONNECT_E_CANNOTCONNECT;
        }
        sinks_.emplace_back(nextCookie_, std::move(events));
        *cookie = nextCookie_++;
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Unadvise(DWORD cookie) {
    const auto found = std::find_if(sinks_.begin(), sinks_.end(),
                                    [cookie](const auto& sink) { return sink.first == cookie; });
    if (found == sinks_.end()) {
        return CONNECT_E_NOCONNECTION;
    }
    // Erase first: releasing the sink may call back into the control.
    auto sink = std::move(found->second);
    sinks_.erase(found);
    sink.Reset();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections == nullptr) {
        return E_POINTER;
    }
    *connections = nullptr;
    try {
        std::vector<CONNECTDATA> items;
        for (const auto& [cookie, sink] : sinks_) {
            items.push_back(CONNECTDATA{sink.Get(), cookie});
        }
        *connections =
            new Enumerator<IEnumConnections, CONNECTDATA>(IID_IEnumConnections, std::move(items));
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT CreateConnectionPointEnumerator(std::vector<win32::ComPtr<IConnectionPoint>> points,
                                        IEnumConnectionPoints** enumerator) {
    if (enumerator == nullptr) {
        return E_POINTER;
    }
    *enumerator = nullptr;
    try {
        std::vector<IConnectionPoint*> items;
        for (const auto& point : points) {
            items.push_back(point.Get());
        }
        *enumerator = new Enumerator<IEnumConnectionPoints, IConnectionPoint*>(
            IID_IEnumConnectionPoints, std::move(items));
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

} // namespace varkel::com
