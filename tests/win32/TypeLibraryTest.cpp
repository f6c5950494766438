// The type library inside varkel.dll, as registered: the contract hosts compile against.
#include "win32/support/WineTest.h"

#include "win32/adapters/ScopedBstr.h"

#include <varkel_h.h>

namespace varkel::testing {
namespace {

using win32::ComPtr;

struct Held {
    ITypeInfo* info;
    TYPEATTR* attributes = nullptr;
    explicit Held(ITypeInfo* typeInfo) : info(typeInfo) { info->GetTypeAttr(&attributes); }
    ~Held() { info->ReleaseTypeAttr(attributes); }
    TYPEATTR* operator->() const { return attributes; }
};

TEST(TypeLibrary, DescribesTheFiveOperationsTheEmptyEventsAndTheControlClass) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_varkel, 1, 0, 0x409, library.Receive()), S_OK);
    TLIBATTR* libraryAttributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&libraryAttributes), S_OK);
    EXPECT_EQ(libraryAttributes->lcid, 0x409u);
    EXPECT_NE(libraryAttributes->wLibFlags & LIBFLAG_FCONTROL, 0);
    // Built for the pointer size of the DLL that carries it.
    EXPECT_EQ(libraryAttributes->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    library->ReleaseTLibAttr(libraryAttributes);

    ComPtr<ITypeInfo> dispatch, vtable, events, coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID__varkel1, dispatch.Receive()), S_OK);
    HREFTYPE reference = 0;
    ASSERT_EQ(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference), S_OK);
    ASSERT_EQ(dispatch->GetRefTypeInfo(reference, vtable.Receive()), S_OK);
    const Held attributes(vtable.Get());
    const WORD flags =
        TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION;
    EXPECT_EQ(attributes->wTypeFlags & flags, flags);
    // Each operation: DISPID, then per parameter its type chain and flags (i: in/out, r: retval).
    const std::vector<std::pair<MEMBERID, std::vector<std::pair<std::vector<VARTYPE>, char>>>>
        operations{{0x6003000F,
                    {{{VT_PTR, VT_SAFEARRAY, VT_VARIANT}, 'i'},
                     {{VT_PTR, VT_BSTR}, 'i'},
                     {{VT_PTR, VT_I4}, 'r'}}},
                   {0x60030010, {{{VT_PTR, VT_SAFEARRAY, VT_BSTR}, 'i'}, {{VT_PTR, VT_I4}, 'r'}}},
                   {0x60030011, {{{VT_PTR, VT_BSTR}, 'i'}, {{VT_PTR, VT_I4}, 'r'}}},
                   {0x60030012, {{{VT_PTR, VT_BOOL}, 'r'}}},
                   {0x60030013, {{{VT_PTR, VT_BSTR}, 'r'}}}};
    ASSERT_EQ(attributes->cFuncs, operations.size());
    for (UINT index = 0; index < operations.size(); ++index) {
        FUNCDESC* function = nullptr;
        ASSERT_EQ(vtable->GetFuncDesc(index, &function), S_OK);
        EXPECT_EQ(function->memid, operations[index].first);
        EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + index) * sizeof(void*)));
        ASSERT_EQ(function->cParams, static_cast<SHORT>(operations[index].second.size()));
        for (SHORT p = 0; p < function->cParams; ++p) {
            const auto& [chain, kind] = operations[index].second[static_cast<std::size_t>(p)];
            std::vector<VARTYPE> found;
            for (const TYPEDESC* type = &function->lprgelemdescParam[p].tdesc; type != nullptr;
                 type = type->vt == VT_PTR || type->vt == VT_SAFEARRAY ? type->lptdesc : nullptr) {
                found.push_back(type->vt);
            }
            EXPECT_EQ(found, chain) << index << "/" << p;
            EXPECT_EQ(function->lprgelemdescParam[p].paramdesc.wParamFlags,
                      kind == 'i' ? PARAMFLAG_FIN | PARAMFLAG_FOUT
                                  : PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
        }
        vtable->ReleaseFuncDesc(function);
    }
    ASSERT_EQ(library->GetTypeInfoOfGuid(DIID___varkel1, events.Receive()), S_OK);
    EXPECT_EQ(Held(events.Get())->cFuncs, 0);
    ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_varkel1, coclass.Receive()), S_OK);
    EXPECT_NE(Held(coclass.Get())->wTypeFlags & TYPEFLAG_FCONTROL, 0);
    INT implemented = 0;
    ASSERT_EQ(coclass->GetImplTypeFlags(1, &implemented), S_OK);
    EXPECT_EQ(implemented, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
}

} // namespace
} // namespace varkel::testing
