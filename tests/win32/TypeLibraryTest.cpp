#include "win32/support/WineTest.h"

#include "win32/adapters/ScopedBstr.h"

#include <varkel_h.h>

#include <array>

namespace varkel::testing {
namespace {

using win32::ComPtr;
using win32::ScopedBstr;

// A parameter's type as the host sees it: "VT_PTR" levels and the element type.
struct Parameter {
    const wchar_t* name;
    std::vector<VARTYPE> type; // outermost first: {VT_PTR, VT_SAFEARRAY, VT_VARIANT}
    USHORT flags;
};

struct Operation {
    const wchar_t* name;
    MEMBERID id;
    std::vector<Parameter> parameters;
};

constexpr USHORT InOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;
constexpr USHORT RetVal = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;

const std::array<Operation, 5> Operations{{
    {L"LoadDefaults",
     0x6003000F,
     {{L"saArguments", {VT_PTR, VT_SAFEARRAY, VT_VARIANT}, InOut},
      {L"strInstallationPath", {VT_PTR, VT_BSTR}, InOut},
      {L"result", {VT_PTR, VT_I4}, RetVal}}},
    {L"GetAllArgumentsSafeArray",
     0x60030010,
     {{L"saArguments", {VT_PTR, VT_SAFEARRAY, VT_BSTR}, InOut},
      {L"result", {VT_PTR, VT_I4}, RetVal}}},
    {L"GetInterfaceVersion",
     0x60030011,
     {{L"strVersion", {VT_PTR, VT_BSTR}, InOut}, {L"result", {VT_PTR, VT_I4}, RetVal}}},
    {L"ControlHasUnsavedChanges", 0x60030012, {{L"result", {VT_PTR, VT_BOOL}, RetVal}}},
    {L"ControlRequestedCommandLineDelimeter", 0x60030013, {{L"result", {VT_PTR, VT_BSTR}, RetVal}}},
}};

std::vector<VARTYPE> TypeChain(const TYPEDESC& description) {
    std::vector<VARTYPE> chain{description.vt};
    const TYPEDESC* inner = &description;
    while ((inner->vt == VT_PTR || inner->vt == VT_SAFEARRAY) && inner->lptdesc != nullptr) {
        inner = inner->lptdesc;
        chain.push_back(inner->vt);
    }
    return chain;
}

class TypeAttributes {
public:
    explicit TypeAttributes(ITypeInfo* info) : info_(info) { info_->GetTypeAttr(&attributes_); }
    TypeAttributes(const TypeAttributes&) = delete;
    TypeAttributes& operator=(const TypeAttributes&) = delete;
    ~TypeAttributes() {
        if (attributes_ != nullptr) {
            info_->ReleaseTypeAttr(attributes_);
        }
    }
    const TYPEATTR* operator->() const { return attributes_; }

private:
    ITypeInfo* info_;
    TYPEATTR* attributes_ = nullptr;
};

class TypeLibrary : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (std::string(GetParam()) == "registered") {
            ASSERT_EQ(LoadRegTypeLib(LIBID_varkel, 1, 0, 0x409, library.Receive()), S_OK);
        } else {
            ASSERT_EQ(LoadTypeLibEx(VarkelDllPath().c_str(), REGKIND_NONE, library.Receive()),
                      S_OK);
        }
    }

    ComPtr<ITypeInfo> Info(REFGUID guid) {
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(library->GetTypeInfoOfGuid(guid, info.Receive()), S_OK);
        return info;
    }

    ComPtr<ITypeLib> library;
};

TEST_P(TypeLibrary, IsTheControlLibraryVarkelOneZeroInUsEnglish) {
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_varkel));
    EXPECT_EQ(attributes->lcid, 0x409u);
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_NE(attributes->wLibFlags & LIBFLAG_FCONTROL, 0);
    // Built for the pointer size of the DLL that carries it.
    EXPECT_EQ(attributes->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    library->ReleaseTLibAttr(attributes);
    ScopedBstr name;
    ScopedBstr help;
    ASSERT_EQ(library->GetDocumentation(-1, name.Receive(), help.Receive(), nullptr, nullptr),
              S_OK);
    EXPECT_STREQ(name.Get(), L"varkel");
    EXPECT_STREQ(help.Get(), L"varkel");
}

TEST_P(TypeLibrary, DescribesTheFiveOperationsInOrderWithTheirIdsAndParameters) {
    const auto dispatch = Info(IID__varkel1);
    ASSERT_TRUE(dispatch);
    {
        const TypeAttributes attributes(dispatch.Get());
        EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
        const WORD expected =
            TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
        EXPECT_EQ(attributes->wTypeFlags & expected, expected);
    }
    // The vtable half of the dual interface: its own methods, after IDispatch's seven.
    HREFTYPE reference = 0;
    ASSERT_EQ(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference), S_OK);
    ComPtr<ITypeInfo> vtable;
    ASSERT_EQ(dispatch->GetRefTypeInfo(reference, vtable.Receive()), S_OK);
    const TypeAttributes attributes(vtable.Get());
    EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
    const WORD vtableFlags =
        TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION;
    EXPECT_EQ(attributes->wTypeFlags & vtableFlags, vtableFlags);
    ASSERT_EQ(attributes->cFuncs, Operations.size());

    for (UINT index = 0; index < Operations.size(); ++index) {
        const Operation& operation = Operations[index];
        SCOPED_TRACE(std::string(operation.name, operation.name + wcslen(operation.name)));
        FUNCDESC* function = nullptr;
        ASSERT_EQ(vtable->GetFuncDesc(index, &function), S_OK);
        EXPECT_EQ(function->memid, operation.id);
        EXPECT_EQ(function->invkind, INVOKE_FUNC);
        EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + index) * sizeof(void*)));
        EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT);
        ASSERT_EQ(function->cParams, static_cast<SHORT>(operation.parameters.size()));

        std::array<BSTR, 8> names{};
        UINT count = 0;
        ASSERT_EQ(vtable->GetNames(function->memid, names.data(), 8, &count), S_OK);
        EXPECT_STREQ(names[0], operation.name);
        for (SHORT p = 0; p < function->cParams; ++p) {
            const Parameter& expected = operation.parameters[static_cast<std::size_t>(p)];
            const ELEMDESC& parameter = function->lprgelemdescParam[p];
            EXPECT_EQ(TypeChain(parameter.tdesc), expected.type) << p;
            EXPECT_EQ(parameter.paramdesc.wParamFlags, expected.flags) << p;
            if (static_cast<UINT>(p) + 1 < count) {
                EXPECT_STREQ(names[static_cast<std::size_t>(p) + 1], expected.name);
            }
        }
        for (UINT i = 0; i < count; ++i) {
            SysFreeString(names[i]);
        }
        vtable->ReleaseFuncDesc(function);
    }
}

TEST_P(TypeLibrary, DeclaresAnEmptyEventInterfaceAndAControlClass) {
    const auto events = Info(DIID___varkel1);
    ASSERT_TRUE(events);
    {
        const TypeAttributes attributes(events.Get());
        EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
        EXPECT_EQ(attributes->cFuncs, 0);
        EXPECT_EQ(attributes->cVars, 0);
        EXPECT_NE(attributes->wTypeFlags & TYPEFLAG_FHIDDEN, 0);
    }

    const auto coclass = Info(CLSID_varkel1);
    ASSERT_TRUE(coclass);
    const TypeAttributes attributes(coclass.Get());
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    EXPECT_NE(attributes->wTypeFlags & TYPEFLAG_FCONTROL, 0);
    EXPECT_NE(attributes->wTypeFlags & TYPEFLAG_FCANCREATE, 0);
    ASSERT_EQ(attributes->cImplTypes, 2);
    struct Implemented {
        const IID* iid;
        INT flags;
    };
    const Implemented expected[] = {
        {&IID__varkel1, IMPLTYPEFLAG_FDEFAULT},
        {&DIID___varkel1, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}};
    for (UINT index = 0; index < 2; ++index) {
        INT flags = 0;
        ASSERT_EQ(coclass->GetImplTypeFlags(index, &flags), S_OK);
        EXPECT_EQ(flags, expected[index].flags) << index;
        HREFTYPE reference = 0;
        ASSERT_EQ(coclass->GetRefTypeOfImplType(index, &reference), S_OK);
        ComPtr<ITypeInfo> implemented;
        ASSERT_EQ(coclass->GetRefTypeInfo(reference, implemented.Receive()), S_OK);
        const TypeAttributes implementedAttributes(implemented.Get());
        EXPECT_TRUE(IsEqualGUID(implementedAttributes->guid, *expected[index].iid)) << index;
    }
}

INSTANTIATE_TEST_SUITE_P(LoadedBy, TypeLibrary, ::testing::Values("registered", "file"),
                         [](const auto& loadedBy) { return std::string(loadedBy.param); });

} // namespace
} // namespace varkel::testing
