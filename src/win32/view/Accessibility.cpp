#include "win32/view/Accessibility.h"

#include "win32/adapters/ComPtr.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <memory>
#include <new>
#include <utility>

namespace varkel::win32 {

namespace {

// The standard client object of a window with its name and description replaced. It offers
// IAccessible (with IDispatch) and IOleWindow, which tells a client the window; the standard
// object's other interfaces are left out rather than handed on, since an interface of the inner
// object would answer QueryInterface with the inner object's identity.
//
// It holds no lock on the module: the page's server keeps its DLL loaded for the life of the
// process once a page exists, and a client may hold the object after the window is gone.
class TextOverridingAccessible final : public IAccessible, public IOleWindow {
public:
    TextOverridingAccessible(HWND window, ComPtr<IAccessible> standard, AccessibleTexts texts)
        : window_(window), standard_(std::move(standard)), texts_(std::move(texts)) {}
    TextOverridingAccessible(const TextOverridingAccessible&) = delete;
    TextOverridingAccessible& operator=(const TextOverridingAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, __uuidof(IAccessible))) {
            *object = static_cast<IAccessible*>(this);
        } else if (IsEqualIID(iid, IID_IOleWindow)) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = --references_;
        if (remaining == 0) {
            delete this;
        }
        return remaining;
    }

    // IDispatch: the standard object's type information, invoked on this object so that a
    // late-bound client hears the same name and description as an early-bound one.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        if (!IsEqualIID(iid, IID_NULL)) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        ComPtr<ITypeInfo> info;
        const HRESULT hr = standard_->GetTypeInfo(0, locale, info.Receive());
        if (FAILED(hr)) {
            return hr;
        }
        return info->Invoke(static_cast<IAccessible*>(this), id, flags, parameters, result,
                            exception, argumentError);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return IsSelf(child) && texts_.name ? Answer(*texts_.name, name)
                                            : standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return IsSelf(child) && texts_.description
                   ? Answer(*texts_.description, description)
                   : standard_->get_accDescription(child, description);
    }

    // Everything else is the standard object's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focused) override {
        return standard_->get_accFocus(focused);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selected) override {
        return standard_->get_accSelection(selected);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        return standard_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

    // IOleWindow, through which a client finds the window (WindowFromAccessibleObject).
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    ~TextOverridingAccessible() = default; // only Release deletes

    static bool IsSelf(const VARIANT& child) {
        return V_VT(&child) == VT_I4 && V_I4(&child) == CHILDID_SELF;
    }
    static HRESULT Answer(const Text& text, BSTR* out) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                 static_cast<UINT>(text.size()));
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    std::atomic<ULONG> references_{1};
    const HWND window_;
    const ComPtr<IAccessible> standard_;
    const AccessibleTexts texts_;
};

// The client object with these texts, as the answer to WM_GETOBJECT; nothing when it cannot
// be made, and the window then answers as it would have without this.
std::optional<LRESULT> ClientObjectAnswer(HWND window, WPARAM wParam, AccessibleTexts texts) {
    ComPtr<IAccessible> standard;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                         standard.ReceiveVoid()))) {
        return std::nullopt;
    }
    const auto wrapper = ComPtr<IAccessible>::Adopt(
        new (std::nothrow) TextOverridingAccessible(window, std::move(standard), std::move(texts)));
    if (!wrapper) {
        return std::nullopt;
    }
    // The answer holds references of its own, until the client takes the object from it.
    const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, wrapper.Get());
    return answer > 0 ? std::optional(answer) : std::nullopt;
}

using TextSource = std::function<AccessibleTexts()>;

LRESULT CALLBACK AnswerForClientObject(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data) {
    auto* texts = reinterpret_cast<TextSource*>(data);
    // The object id travels in the low 32 bits; 64-bit callers may extend it either way.
    if (message == WM_GETOBJECT &&
        static_cast<LONG>(static_cast<DWORD>(lParam)) == static_cast<LONG>(OBJID_CLIENT)) {
        try {
            AccessibleTexts answered = (*texts)();
            if (answered.name || answered.description) {
                if (const auto answer = ClientObjectAnswer(window, wParam, std::move(answered))) {
                    return *answer;
                }
            }
        } catch (...) {
            // A text the model cannot give: the platform's own object answers.
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &AnswerForClientObject, id);
        delete texts;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

void ServeAccessibleTexts(HWND window, std::function<AccessibleTexts()> texts) {
    auto source = std::make_unique<TextSource>(std::move(texts));
    if (SetWindowSubclass(window, &AnswerForClientObject, 0,
                          reinterpret_cast<DWORD_PTR>(source.get()))) {
        source.release(); // the subclass owns it now and frees it with the window
    }
}

Text CaptionAsName(const Text& caption) {
    Text name;
    name.reserve(caption.size());
    for (std::size_t index = 0; index < caption.size(); ++index) {
        if (caption[index] == u'&') {
            if (++index == caption.size()) {
                break;
            }
        }
        name.push_back(caption[index]);
    }
    return name;
}

std::string_view NamingControl(std::span<const LayoutEntry> layout, std::size_t index) {
    const LayoutEntry& field = layout[index];
    if (index > 0 && layout[index - 1].kind == ControlKind::CheckBox &&
        layout[index - 1].container == field.container) {
        return layout[index - 1].name;
    }
    return field.container;
}

} // namespace varkel::win32
