// The page called by name from the platform's VBScript engine, run on the test's own thread so
// that the hook answers the page's boxes: the arguments are the ones a script really passes.
#include "win32/support/WineTest.h"

#include "win32/adapters/ScopedVariant.h"

#include <activscp.h>

namespace varkel::testing {
namespace {

using win32::ComPtr;
using win32::ScopedVariant;

// The script's only item is "page". Lives on the test's stack, longer than the engine.
struct ScriptSite final : IActiveScriptSite {
    explicit ScriptSite(IUnknown* item) : page(item) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        const bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IActiveScriptSite);
        *object = known ? static_cast<IActiveScriptSite*>(this) : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR, DWORD mask, IUnknown** item,
                                          ITypeInfo** info) override {
        if ((mask & SCRIPTINFO_ITYPEINFO) != 0) {
            *info = nullptr;
        }
        if ((mask & SCRIPTINFO_IUNKNOWN) != 0) {
            (*item = page)->AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError*) override { return ++errors, S_OK; }
    HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }
    IUnknown* page;
    int errors = 0;
};

// Runs `statements` without a script error, then answers the text of `expression`.
std::wstring RunScript(IUnknown* page, const std::wstring& statements,
                       const std::wstring& expression) {
    const auto engine = CreateByProgId(L"VBScript").As<IActiveScript>(IID_IActiveScript);
    if (!engine) {
        return L"(no engine)";
    }
    ScriptSite site(page);
    const auto parser = engine.As<IActiveScriptParse>(__uuidof(IActiveScriptParse));
    engine->SetScriptSite(&site);
    parser->InitNew();
    engine->AddNamedItem(L"page", SCRIPTITEM_ISVISIBLE);
    engine->SetScriptState(SCRIPTSTATE_STARTED);
    parser->ParseScriptText(statements.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr,
                            nullptr);
    ScopedVariant value, text;
    parser->ParseScriptText(expression.c_str(), nullptr, nullptr, nullptr, 0, 0,
                            SCRIPTTEXT_ISEXPRESSION, value.Receive(), nullptr);
    engine->Close();
    EXPECT_EQ(site.errors, 0);
    VariantChangeType(text.Pointer(), value.Pointer(), VARIANT_ALPHABOOL, VT_BSTR);
    return text.Type() == VT_BSTR ? V_BSTR(&text.Get()) : L"(no text)";
}

using ScriptClient = PageComFixture;

// Each case: statements, then an expression and its text, and the location, source and error
// of the page's one box, its whole text as the user reads it (the failures the control describes).
// Values the typed conversion refuses never reach the page: error 13.
TEST_F(ScriptClient, ReportsBadInputByNameWithItsLocationAndAnswersZero) {
    const std::string load = "in LoadDefaults() of if01 NUX Control\r\nSource:\t\tvarkel";
    const std::string save = "in GetAllArgumentsSafeArray() of if01 NUX Control\r\nSource:\t\t"
                             "varkel in CommonNUXControlCode.AddArgumentToOutGoingSafeArray";
    const std::string version =
        "in Function GetInterfaceVersion() of the if01 NUX Control\r\nSource:\t\tvarkel";
    const std::wstring mismatch = L"Dh   (13)\r\nDescription:\tType mismatch",
                       outOfRange = L"9h   (9)\r\nDescription:\tSubscript out of range",
                       nullUse = L"5Eh   (94)\r\nDescription:\tInvalid use of Null";
    struct Case {
        std::wstring statements;
        std::string location;
        std::wstring error;
        std::wstring after = L"r";
        std::wstring afterText = L"0";
    };
    // Two switches to write, so that generation reaches the list and needs a second row.
    const std::wstring loaded = L"Dim t: ReDim t(2, 1): t(0, 0) = \"-ch\": t(0, 1) = \"/HW\": "
                                L"t(2, 0) = 0: t(2, 1) = 0: page.LoadDefaults t, \"C:\\x\": ";
    const Case cases[] = {
        {L"t = 5: r = page.LoadDefaults(t, \"C:\\x\")", load, mismatch},
        {L"t = Null: r = page.LoadDefaults(t, \"C:\\x\")", load, nullUse},
        {loaded + L"l = Array(\"\", \"\"): r = page.GetAllArgumentsSafeArray(l)", save, outOfRange},
        // A fixed-size array cannot grow: row 0 is written, row 1 cannot be added.
        {loaded + L"Dim f(1, 0): r = page.GetAllArgumentsSafeArray(f)", save,
         L"Ah   (10)\r\nDescription:\tThis array is fixed or temporarily locked",
         L"r & f(0, 0) & UBound(f, 2)", L"0/CH0"},
        {L"v = Null: r = page.GetInterfaceVersion(v)", version, nullUse, L"IsNull(v)", L"True"},
    };
    const auto page = CreateByProgId();
    ASSERT_TRUE(page);
    for (const Case& test : cases) {
        SCOPED_TRACE(::testing::Message() << test.statements);
        hook.shown.clear();
        hook.Expect(IDOK);
        EXPECT_EQ(RunScript(page.Get(), test.statements, test.after), test.afterText);
        ASSERT_EQ(hook.shown.size(), 1u);
        const std::wstring location(test.location.begin(), test.location.end());
        EXPECT_EQ(hook.shown[0].text, L"Method:\t\t" + location + L"\r\nError:\t\t" + test.error);
    }
}

// Without any container: by value, and by reference with the variables receiving the results
// (the table as it was, the list written over and grown row by row, the version).
TEST_F(ScriptClient, CallsEveryOperationByNameAndItsVariablesReceiveTheResults) {
    const std::wstring statements =
        L"Dim t(2, 3), l, p: ReDim l(1, 0): t(0, 0) = \"-ch\": t(1, 0) = \"\": t(2, 0) = 0: "
        L"t(0, 1) = \"/ITDELIM\": t(1, 1) = \"a\": t(2, 1) = 0: t(0, 2) = \"/PS\": "
        L"t(1, 2) = CCur(1): t(2, 2) = 0: t(0, 3) = \"/QS\": t(1, 3) = \"2\": t(2, 3) = 0: "
        L"p = \"C:\\Interfaces\\D3\": l(1, 0) = \"old\": "
        L"u = page.ControlHasUnsavedChanges(): d = page.ControlRequestedCommandLineDelimeter(): "
        L"r = page.LoadDefaults((t), (p)) & page.LoadDefaults(t, p) & t(0, 0): "
        L"r = r & page.ControlHasUnsavedChanges() & page.GetAllArgumentsSafeArray(l): "
        L"For i = 0 To UBound(l, 2): r = r & \" \" & l(0, i) & \"=\" & l(1, i): Next: "
        // A copy of the list cannot receive rows: refused as the platform's dispatch does.
        L"On Error Resume Next: page.GetAllArgumentsSafeArray (l): r = r & \" \" & Err.Number";
    EXPECT_EQ(RunScript(CreateByProgId().Get(), statements,
                        L"u & d & r & \" \" & page.GetInterfaceVersion(v) & v"),
              L"False/11-chFalse1 /CH= /ITDELIM=A /PS=1 /QS=2 13 11.0.0.0");
}

} // namespace
} // namespace varkel::testing
