#include "win32/support/OutgoingLists.h"
#include "win32/support/PageComFixture.h"
#include "win32/support/VarkelModule.h"

#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedSafeArray.h"
#include "win32/adapters/ScopedVariant.h"

#include <objsafe.h>
#include <ocidl.h>
#include <psapi.h>

namespace varkel::testing {
namespace {

using win32::ComPtr;
using win32::ScopedBstr;
using win32::ScopedSafeArray;
using win32::ScopedVariant;

// What a late-bound client does: the member's DISPID by name, then Invoke.
HRESULT Invoke(IDispatch* dispatch, const wchar_t* name, std::vector<VARIANT> arguments,
               ScopedVariant& result) {
    std::wstring copy = name;
    LPOLESTR names[1] = {copy.data()};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                            result.Receive(), nullptr, nullptr);
}

class Varkel1Object : public PageComFixture {
protected:
    void SetUp() override {
        PageComFixture::SetUp();
        page = CreatePageByProgId();
        ASSERT_TRUE(page);
        vtable = As<_varkel1>(page, IID__varkel1);
        dispatch = As<IDispatch>(page, IID_IDispatch);
    }
    LONG Load(const std::vector<std::pair<std::wstring, std::wstring>>& rows) {
        ScopedSafeArray table = InputTable(rows);
        SAFEARRAY* reference = table.Get();
        ScopedBstr path(u"C:\\Interfaces\\D3");
        LONG result = -1;
        EXPECT_EQ(vtable->LoadDefaults(&reference, path.InOut(), &result), S_OK);
        return result;
    }
    ComPtr<IUnknown> page;
    ComPtr<_varkel1> vtable;
    ComPtr<IDispatch> dispatch;
};

TEST_F(Varkel1Object, AnswersEachInterfaceOfAControlWithOneIdentity) {
    const IID* interfaces[] = {
        &IID_IDispatch,
        &IID__varkel1,
        &IID_IOleObject,
        &IID_IOleWindow,
        &IID_IOleInPlaceObject,
        &IID_IOleInPlaceActiveObject,
        &IID_IOleControl,
        &IID_IViewObject2,
        &IID_IPersistStreamInit,
        &IID_IProvideClassInfo2,
        &IID_IConnectionPointContainer,
    };
    for (const IID* iid : interfaces) {
        ComPtr<IUnknown> answer;
        ASSERT_EQ(page->QueryInterface(*iid, answer.ReceiveVoid()), S_OK) << GuidText(*iid).c_str();
        EXPECT_EQ(answer.As<IUnknown>(IID_IUnknown).Get(), page.Get()) << GuidText(*iid).c_str();
    }
    ComPtr<IUnknown> safety;
    EXPECT_EQ(page->QueryInterface(IID_IObjectSafety, safety.ReceiveVoid()), E_NOINTERFACE);
}

// A load that fails after its first row leaves the page changed: VARIANT_TRUE is -1 both ways.
TEST_F(Varkel1Object, VtableAndIDispatchAnswerAlikeAndTrueIsMinusOne) {
    VARIANT_BOOL unsaved = 5;
    ASSERT_EQ(vtable->ControlHasUnsavedChanges(&unsaved), S_OK);
    EXPECT_EQ(unsaved, VARIANT_FALSE);
    hook.Expect(IDOK);
    EXPECT_EQ(Load({{L"/HW", L""}, {L"NULL", L""}}), 0);
    EXPECT_THAT(hook.shown.at(0).text, ::testing::HasSubstr(L"(94)"));
    ASSERT_EQ(vtable->ControlHasUnsavedChanges(&unsaved), S_OK);
    EXPECT_EQ(unsaved, -1);
    ScopedVariant answer;
    ASSERT_EQ(Invoke(dispatch.Get(), L"controlhasunsavedchanges", {}, answer), S_OK);
    ASSERT_EQ(answer.Type(), VT_BOOL);
    EXPECT_EQ(V_BOOL(&answer.Get()), -1);
    ASSERT_EQ(Invoke(dispatch.Get(), L"ControlRequestedCommandLineDelimeter", {}, answer), S_OK);
    EXPECT_STREQ(V_BSTR(&answer.Get()), L"/");

    ScopedBstr version(u"unchanged");
    VARIANT versionArgument{};
    V_VT(&versionArgument) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&versionArgument) = version.InOut();
    ASSERT_EQ(Invoke(dispatch.Get(), L"GetInterfaceVersion", {versionArgument}, answer), S_OK);
    EXPECT_EQ(V_I4(&answer.Get()), 1);
    EXPECT_STREQ(version.Get(), L"1.0.0.0");
}

TEST_F(Varkel1Object, TablesTravelByReferenceThroughIDispatch) {
    ScopedSafeArray table = InputTable({{L"-ch", L""}, {L"/PS", L"1"}});
    SAFEARRAY* tableReference = table.Get();
    ScopedBstr path(u"C:\\Elsewhere");
    VARIANT tableArgument{}, pathArgument{}, listArgument{};
    V_VT(&tableArgument) = VT_BYREF | VT_ARRAY | VT_VARIANT;
    V_ARRAYREF(&tableArgument) = &tableReference;
    V_VT(&pathArgument) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&pathArgument) = path.InOut();
    ScopedVariant loaded;
    ASSERT_EQ(Invoke(dispatch.Get(), L"LoadDefaults", {tableArgument, pathArgument}, loaded), S_OK);
    EXPECT_EQ(V_I4(&loaded.Get()), 1);

    ScopedSafeArray list = OutgoingList(1);
    SAFEARRAY* listReference = list.Get();
    V_VT(&listArgument) = VT_BYREF | VT_ARRAY | VT_BSTR;
    V_ARRAYREF(&listArgument) = &listReference;
    ScopedVariant generated;
    ASSERT_EQ(Invoke(dispatch.Get(), L"GetAllArgumentsSafeArray", {listArgument}, generated), S_OK);
    EXPECT_EQ(V_I4(&generated.Get()), 1);
    EXPECT_EQ(RowsOf(list.Get()), (ListRows{{L"/CH", L""}, {L"/PS", L"1"}}));
    EXPECT_EQ(Log(), std::vector<LogLine>{});
}

TEST_F(Varkel1Object, AFailureIsReportedInARealBoxAndLogged) {
    hook.Expect(IDOK);
    SAFEARRAY* noTable = nullptr;
    ScopedBstr path(u"C:\\Interfaces\\D3");
    LONG result = -1;
    ASSERT_EQ(vtable->LoadDefaults(&noTable, path.InOut(), &result), S_OK);
    EXPECT_EQ(result, 0);
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].text, L"Method:\t\tin LoadDefaults() of if01 NUX Control\r\n"
                                  L"Source:\t\tvarkel\r\nError:\t\t9h   (9)\r\n"
                                  L"Description:\tSubscript out of range");
    EXPECT_EQ(hook.shown[0].title, PageTitle);
    EXPECT_EQ(hook.shown[0].icon, MessageBoxHook::StandardIcon(IDI_HAND));
    EXPECT_EQ(Log(), (std::vector<LogLine>{{"QX NUX> if01> ",
                                            "Error in method: in LoadDefaults() of if01 NUX "
                                            "Control, Source: varkel, Error: 9 h   (9) , "
                                            "Description: Subscript out of range"}}));
}

TEST_F(Varkel1Object, NullOutParametersAreRefused) {
    SAFEARRAY* table = nullptr;
    BSTR text = nullptr;
    LONG result = 0;
    EXPECT_EQ(vtable->LoadDefaults(&table, nullptr, &result), E_POINTER);
    EXPECT_EQ(vtable->LoadDefaults(&table, &text, nullptr), E_POINTER);
    EXPECT_EQ(vtable->GetAllArgumentsSafeArray(&table, nullptr), E_POINTER);
    EXPECT_EQ(vtable->GetInterfaceVersion(nullptr, &result), E_POINTER);
    EXPECT_EQ(vtable->ControlHasUnsavedChanges(nullptr), E_POINTER);
    EXPECT_EQ(vtable->ControlRequestedCommandLineDelimeter(nullptr), E_POINTER);
}

// A thousand pages through a host's whole round: after a warm-up in which the platform fills
// its caches, the process grows by at most 1 MiB, and varkel.dll can be unloaded at the end.
TEST_F(Varkel1Object, AThousandPagesComeAndGoWithoutTheProcessGrowing) {
    page.Reset();
    vtable.Reset();
    dispatch.Reset();
    const auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters));
        return counters.PrivateUsage;
    };
    std::size_t afterWarmUp = 0;
    for (int cycle = 0; cycle < 1000; ++cycle) {
        {
            vtable = CreatePageByProgId().As<_varkel1>(IID__varkel1);
            ASSERT_EQ(Load({{L"/CH", L""}, {L"/ITDELIM", L"a"}, {L"/DB", L"5"}, {L"/PS", L"1"}}),
                      1);
            auto list = OutgoingList(1);
            SAFEARRAY* listReference = list.Get();
            LONG result = -1;
            ASSERT_EQ(vtable->GetAllArgumentsSafeArray(&listReference, &result), S_OK);
            ASSERT_EQ(
                RowsOf(list.Get()),
                (ListRows{{L"/CH", L""}, {L"/DB", L"5"}, {L"/ITDELIM", L"A"}, {L"/PS", L"1"}}));
            vtable.Reset();
        }
        if (cycle == 99) {
            afterWarmUp = privateBytes();
        }
    }
    EXPECT_LE(privateBytes(), afterWarmUp + 1024 * 1024);
    EXPECT_EQ(CanUnloadVarkel(), S_OK) << "an object or lock of varkel.dll is left";
    EXPECT_EQ(Log(), std::vector<LogLine>{});
}

} // namespace
} // namespace varkel::testing
