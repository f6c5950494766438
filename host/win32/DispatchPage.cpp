#include "DispatchPage.h"

#include "core/HostError.h"
#include "core/TextCodec.h"
#include "win32/adapters/ComError.h"
#include "win32/adapters/InjectedFailure.h"
#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedSafeArray.h"
#include "win32/adapters/TextConversion.h"

namespace varkel::host::win32 {

using varkel::win32::ComPtr;
using varkel::win32::ScopedBstr;
using varkel::win32::ScopedSafeArray;
using varkel::win32::TextFromWide;
using varkel::win32::WideFromText;

namespace {

// A failed call ends the run as the page could not be hosted, told as the page tells one.
[[noreturn]] void Fail(const std::string& what, HRESULT hr) {
    throw HostError(ExitCode::Hosting, ToUtf8(varkel::win32::FailedCallText(hr, FromUtf8(what))));
}

void Check(HRESULT hr, const std::string& what) {
    if (FAILED(hr)) {
        Fail(what, hr);
    }
}

// A method's result in the type the host reads it as; a page that answered something else fails
// the run rather than passing for an answer.
void ConvertResult(VARIANT& result, VARTYPE type, const std::string& what) {
    const HRESULT hr = varkel::win32::FailsOnRequest(L"VariantChangeType")
                           ? DISP_E_TYPEMISMATCH
                           : VariantChangeType(&result, &result, 0, type);
    if (FAILED(hr)) {
        VariantClear(&result); // a text or an object the page answered is not kept
        Fail(what, hr);
    }
}

BSTR NewBstr(std::wstring_view text) {
    BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (bstr == nullptr) {
        throw std::bad_alloc();
    }
    return bstr;
}

// Column 0 the switch, 1 the value, 2 the marker; one row per argument, both from 0.
ScopedSafeArray InputTable(const std::vector<TextLoadRow>& rows) {
    SAFEARRAYBOUND bounds[2] = {{3, 0}, {static_cast<ULONG>(rows.size()), 0}};
    ScopedSafeArray table;
    table.Reset(SafeArrayCreate(VT_VARIANT, 2, bounds));
    if (!table.Get()) {
        throw std::bad_alloc();
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        VARIANT cells[3];
        V_VT(&cells[0]) = VT_BSTR;
        V_BSTR(&cells[0]) = NewBstr(WideFromText(rows[row].name));
        V_VT(&cells[1]) = VT_BSTR;
        V_BSTR(&cells[1]) = NewBstr(WideFromText(rows[row].value));
        V_VT(&cells[2]) = VT_I4;
        V_I4(&cells[2]) = rows[row].marker;
        for (LONG column = 0; column < 3; ++column) {
            LONG index[2] = {column, static_cast<LONG>(row)};
            const HRESULT hr = SafeArrayPutElement(table.Get(), index, &cells[column]);
            VariantClear(&cells[column]);
            Check(hr, "filling the argument table");
        }
    }
    return table;
}

// One row of two empty texts, columns 0 to 1: what a host hands in for the page to fill.
ScopedSafeArray OutgoingTable() {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {1, 0}};
    ScopedSafeArray table;
    table.Reset(SafeArrayCreate(VT_BSTR, 2, bounds));
    if (!table.Get()) {
        throw std::bad_alloc();
    }
    return table;
}

Text Cell(SAFEARRAY* table, LONG column, LONG row) {
    LONG index[2] = {column, row};
    ScopedBstr text;
    Check(SafeArrayGetElement(table, index, text.Receive()), "reading the page's arguments");
    const BSTR raw = text.Get();
    return TextFromWide(raw ? std::wstring_view(raw, SysStringLen(raw)) : std::wstring_view());
}

std::vector<TextArgument> ReadOutgoing(SAFEARRAY* table) {
    if (table == nullptr || SafeArrayGetDim(table) != 2) {
        throw HostError(ExitCode::Hosting, "the page handed back no two-dimensional table");
    }
    LONG firstRow = 0;
    LONG lastRow = -1;
    Check(SafeArrayGetLBound(table, 2, &firstRow), "reading the table's rows");
    Check(SafeArrayGetUBound(table, 2, &lastRow), "reading the table's rows");
    std::vector<TextArgument> arguments;
    for (LONG row = firstRow; row <= lastRow; ++row) {
        arguments.push_back({Cell(table, 0, row), Cell(table, 1, row)});
    }
    return arguments;
}

} // namespace

DispatchPage::DispatchPage(ComPtr<IDispatch> page) : page_(std::move(page)) {}

DISPID DispatchPage::Id(const wchar_t* name) const {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    Check(page_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id),
          "looking up " + Utf8FromWide(name));
    return id;
}

VARIANT DispatchPage::Call(const wchar_t* name, VARIANTARG* arguments, UINT count) {
    DISPPARAMS parameters{arguments, nullptr, count, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT hr = varkel::win32::FailsOnRequest(L"Invoke")
                           ? E_FAIL
                           : page_->Invoke(Id(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                           &parameters, &result, &exception, &badArgument);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    Check(hr, Utf8FromWide(name));
    return result;
}

long DispatchPage::LoadDefaults(const std::vector<TextLoadRow>& rows,
                                const std::filesystem::path& installPath) {
    ScopedSafeArray table = InputTable(rows);
    ScopedBstr path;
    path.Reset(NewBstr(installPath.wstring()));

    // Both go by reference: the page may write to either, so whatever the variables hold
    // afterwards is ours to free.
    SAFEARRAY* tableArgument = table.Release();
    BSTR pathArgument = path.Release();
    VARIANTARG arguments[2]; // in reverse order, as IDispatch::Invoke takes them
    V_VT(&arguments[0]) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&arguments[0]) = &pathArgument;
    V_VT(&arguments[1]) = VT_BYREF | VT_ARRAY | VT_VARIANT;
    V_ARRAYREF(&arguments[1]) = &tableArgument;
    VARIANT result;
    try {
        result = Call(L"LoadDefaults", arguments, 2);
    } catch (...) {
        table.Reset(tableArgument);
        path.Reset(pathArgument);
        throw;
    }
    table.Reset(tableArgument);
    path.Reset(pathArgument);
    ConvertResult(result, VT_I4, "reading LoadDefaults' result");
    return V_I4(&result);
}

long DispatchPage::GetAllArguments(std::vector<TextArgument>& arguments) {
    ScopedSafeArray table = OutgoingTable();
    SAFEARRAY* tableArgument = table.Release();
    VARIANTARG argument;
    V_VT(&argument) = VT_BYREF | VT_ARRAY | VT_BSTR;
    V_ARRAYREF(&argument) = &tableArgument;
    VARIANT result;
    try {
        result = Call(L"GetAllArgumentsSafeArray", &argument, 1);
    } catch (...) {
        table.Reset(tableArgument);
        throw;
    }
    table.Reset(tableArgument);
    ConvertResult(result, VT_I4, "reading GetAllArgumentsSafeArray's result");
    arguments = ReadOutgoing(table.Get());
    return V_I4(&result);
}

bool DispatchPage::HasUnsavedChanges() {
    VARIANT result = Call(L"ControlHasUnsavedChanges", nullptr, 0);
    ConvertResult(result, VT_BOOL, "reading ControlHasUnsavedChanges' result");
    return V_BOOL(&result) != VARIANT_FALSE;
}

} // namespace varkel::host::win32
