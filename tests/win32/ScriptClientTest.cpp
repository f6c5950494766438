#include "win32/support/PageComFixture.h"

#include "win32/adapters/ScopedVariant.h"

#include <activscp.h>

namespace varkel::testing {
namespace {

using win32::ComPtr;
using win32::ScopedVariant;

// The platform's VBScript engine run on the test's own thread, so that the hook answers the
// page's boxes: the arguments are the ones a script engine really passes. The page is the
// script's item "page".
class ScriptSite final : public IActiveScriptSite {
public:
    explicit ScriptSite(IUnknown* page) : page_(page) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        const bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IActiveScriptSite);
        *object = known ? static_cast<IActiveScriptSite*>(this) : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    // Lives on the test's stack, longer than the engine.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                          ITypeInfo** info) override {
        if (std::wstring(name) != L"page") {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        if ((mask & SCRIPTINFO_ITYPEINFO) != 0) {
            *info = nullptr;
        }
        if ((mask & SCRIPTINFO_IUNKNOWN) != 0) {
            page_->AddRef();
            *item = page_;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError*) override {
        ++errors;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }
    int errors = 0;

private:
    IUnknown* page_;
};

// Runs `statements`, then answers the text of `expression`.
std::wstring RunScript(IUnknown* page, const std::wstring& statements,
                       const std::wstring& expression, int& errors) {
    CLSID engineClass{};
    EXPECT_EQ(CLSIDFromProgID(L"VBScript", &engineClass), S_OK);
    ComPtr<IActiveScript> engine;
    EXPECT_EQ(CoCreateInstance(engineClass, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                               engine.ReceiveVoid()),
              S_OK);
    if (!engine) {
        return L"(no engine)";
    }
    ScriptSite site(page);
    const auto parser = engine.As<IActiveScriptParse>(__uuidof(IActiveScriptParse));
    engine->SetScriptSite(&site);
    parser->InitNew();
    engine->AddNamedItem(L"page", SCRIPTITEM_ISVISIBLE);
    engine->SetScriptState(SCRIPTSTATE_STARTED);
    EXPECT_EQ(parser->ParseScriptText(statements.c_str(), nullptr, nullptr, nullptr, 0, 0, 0,
                                      nullptr, nullptr),
              S_OK);
    ScopedVariant value;
    parser->ParseScriptText(expression.c_str(), nullptr, nullptr, nullptr, 0, 0,
                            SCRIPTTEXT_ISEXPRESSION, value.Receive(), nullptr);
    engine->Close();
    errors = site.errors;
    ScopedVariant text;
    VariantChangeType(text.Pointer(), value.Pointer(), VARIANT_ALPHABOOL, VT_BSTR);
    return text.Type() == VT_BSTR ? V_BSTR(&text.Get()) : L"(no text)";
}

using ScriptClient = PageComFixture;

TEST_F(ScriptClient, BadScriptInputIsReportedByThePageAndAnswersZero) {
    const std::string load = "in LoadDefaults() of if01 NUX Control";
    const std::string save = "in GetAllArgumentsSafeArray() of if01 NUX Control";
    const std::string version = "in Function GetInterfaceVersion() of the if01 NUX Control";
    const std::wstring mismatch = L"Dh   (13)";
    const std::wstring outOfRange = L"9h   (9)";
    const std::wstring nullUse = L"5Eh   (94)";
    struct Case {
        std::wstring statements;
        std::string location;
        std::wstring error;        // the box's error line
        std::wstring after = L"r"; // an expression read after the call, and its text
        std::wstring afterText = L"0";
    };
    // Two switches to write, so that generation reaches the list and needs a second row.
    const std::wstring loaded = L"Dim t: ReDim t(2, 1): t(0, 0) = \"-ch\": t(0, 1) = \"/HW\": "
                                L"t(2, 0) = 0: t(2, 1) = 0: page.LoadDefaults t, \"C:\\x\": ";
    const Case cases[] = {
        {L"t = 5: r = page.LoadDefaults(t, \"C:\\x\")", load, mismatch},
        {L"r = page.LoadDefaults(5, \"C:\\x\")", load, mismatch},
        {L"t = Array(\"/CH\", \"\", 0): r = page.LoadDefaults(t, \"C:\\x\")", load, outOfRange},
        {L"Set t = Nothing: r = page.LoadDefaults(t, \"C:\\x\")", load, mismatch},
        {L"Set t = page: r = page.LoadDefaults(t, \"C:\\x\")", load, mismatch},
        {L"t = Null: r = page.LoadDefaults(t, \"C:\\x\")", load, nullUse},
        {L"t = Array(Array(\"/CH\", \"\", 0)): r = page.LoadDefaults(t, \"C:\\x\")", load,
         outOfRange},
        {L"Dim t: ReDim t(2, 0): p = Null: r = page.LoadDefaults(t, p)", load, nullUse,
         L"IsNull(p)", L"True"},
        {loaded + L"l = 5: r = page.GetAllArgumentsSafeArray(l)", save, mismatch},
        {loaded + L"l = Array(\"\", \"\"): r = page.GetAllArgumentsSafeArray(l)", save, outOfRange},
        {loaded + L"Set l = Nothing: r = page.GetAllArgumentsSafeArray(l)", save, mismatch},
        {loaded + L"l = Null: r = page.GetAllArgumentsSafeArray(l)", save, nullUse},
        // A fixed-size array cannot grow: row 0 is written, row 1 cannot be added.
        {loaded + L"Dim f(1, 0): r = page.GetAllArgumentsSafeArray(f)", save, L"Ah   (10)",
         L"r & f(0, 0) & UBound(f, 2)", L"0/CH0"},
        {L"Set v = page: r = page.GetInterfaceVersion(v)", version, mismatch},
        {L"v = Null: r = page.GetInterfaceVersion(v)", version, nullUse, L"IsNull(v)", L"True"},
    };
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    for (const Case& test : cases) {
        SCOPED_TRACE(::testing::Message() << test.statements);
        hook.shown.clear();
        hook.Expect(IDOK);
        int errors = 0;
        EXPECT_EQ(RunScript(page.Get(), test.statements, test.after, errors), test.afterText);
        EXPECT_EQ(errors, 0);
        ASSERT_EQ(hook.shown.size(), 1u);
        const std::wstring location(test.location.begin(), test.location.end());
        EXPECT_THAT(hook.shown[0].text, ::testing::StartsWith(L"Method:\t\t" + location + L"\r\n"));
        EXPECT_THAT(hook.shown[0].text, ::testing::HasSubstr(L"\r\nError:\t\t" + test.error));
        EXPECT_THAT(Log().back().message,
                    ::testing::HasSubstr("Error in method: " + test.location));
    }
}

} // namespace
} // namespace varkel::testing
