#include "win32/adapters/Win32.h"

#include "win32/adapters/SafeArrayTables.h"

#include "common/Failure.h"
#include "platform/CellValue.h"
#include "win32/adapters/ComError.h"
#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedVariant.h"
#include "win32/adapters/VariantReference.h"

#include <limits>

namespace varkel::win32 {

namespace {

Failure ArrayLocked() {
    return Failure(10, OwnSource, u"This array is fixed or temporarily locked");
}

void ThrowElementFailure(HRESULT hr, TextView what);

// Holds SafeArrayLock for as long as it lives: pvData stays where it is while entries are
// written through pointers into it.
class AccessLock {
public:
    explicit AccessLock(SAFEARRAY* array) : array_(array) {
        ThrowElementFailure(SafeArrayLock(array_), u"SafeArrayLock");
    }
    AccessLock(const AccessLock&) = delete;
    AccessLock& operator=(const AccessLock&) = delete;
    ~AccessLock() { SafeArrayUnlock(array_); }

private:
    SAFEARRAY* array_;
};

int DimensionsOf(SAFEARRAY* array) {
    return array == nullptr ? 0 : static_cast<int>(SafeArrayGetDim(array));
}

std::int32_t BoundOf(SAFEARRAY* array, int dimension, bool upper) {
    if (dimension < 1 || dimension > DimensionsOf(array)) {
        throw Failures::SubscriptOutOfRange();
    }
    LONG bound = 0;
    const auto index = static_cast<UINT>(dimension);
    const HRESULT hr =
        upper ? SafeArrayGetUBound(array, index, &bound) : SafeArrayGetLBound(array, index, &bound);
    if (FAILED(hr)) {
        throw Failures::SubscriptOutOfRange();
    }
    return bound;
}

VARTYPE ElementType(SAFEARRAY* array) {
    VARTYPE type = VT_EMPTY;
    if (SUCCEEDED(SafeArrayGetVartype(array, &type))) {
        return type;
    }
    if ((array->fFeatures & FADF_BSTR) != 0) {
        return VT_BSTR;
    }
    if ((array->fFeatures & FADF_VARIANT) != 0) {
        return VT_VARIANT;
    }
    return VT_EMPTY;
}

// Checks shape and bounds before the element is touched, so that a bad index never reaches
// the platform.
void CheckIndex(SAFEARRAY* array, std::int32_t column, std::int32_t row) {
    if (DimensionsOf(array) != 2 || column < BoundOf(array, 1, false) ||
        column > BoundOf(array, 1, true) || row < BoundOf(array, 2, false) ||
        row > BoundOf(array, 2, true)) {
        throw Failures::SubscriptOutOfRange();
    }
}

void ThrowElementFailure(HRESULT hr, TextView what) {
    if (hr == DISP_E_BADINDEX) {
        throw Failures::SubscriptOutOfRange();
    }
    if (hr == DISP_E_ARRAYISLOCKED) {
        throw ArrayLocked();
    }
    if (hr == E_OUTOFMEMORY) {
        throw std::bad_alloc();
    }
    ThrowIfFailed(hr, what);
}

CellValue TextCell(const VARIANT& value) {
    ScopedVariant text;
    // The platform's declaration lacks const; the source is only read.
    const HRESULT hr = VariantChangeTypeEx(text.Pointer(), const_cast<VARIANT*>(&value),
                                           LOCALE_USER_DEFAULT, 0, VT_BSTR);
    if (hr == E_OUTOFMEMORY) {
        throw std::bad_alloc();
    }
    if (FAILED(hr)) {
        return CellValue::Unsupported();
    }
    return CellValue::FromText(TextFromBstr(V_BSTR(&text.Get())));
}

} // namespace

CellValue CellFromVariant(const VARIANT& value) {
    if ((V_VT(&value) & VT_BYREF) != 0) {
        if (V_VT(&value) == (VT_BYREF | VT_VARIANT)) {
            const VARIANT* target = FollowVariantReferences(value);
            return target == nullptr ? CellValue::Unsupported() : CellFromVariant(*target);
        }
        if (V_BYREF(&value) == nullptr) {
            return CellValue::Unsupported();
        }
        ScopedVariant direct;
        const HRESULT hr = VariantCopyInd(direct.Pointer(), const_cast<VARIANT*>(&value));
        if (hr == E_OUTOFMEMORY) {
            throw std::bad_alloc();
        }
        return FAILED(hr) ? CellValue::Unsupported() : CellFromVariant(direct.Get());
    }
    switch (V_VT(&value)) {
    case VT_EMPTY:
        return CellValue::Empty();
    case VT_NULL:
        return CellValue::Null();
    case VT_I1:
        return CellValue::FromInteger(V_I1(&value));
    case VT_I2:
        return CellValue::FromInteger(V_I2(&value));
    case VT_I4:
        return CellValue::FromInteger(V_I4(&value));
    case VT_INT:
        return CellValue::FromInteger(V_INT(&value));
    case VT_I8:
        return CellValue::FromInteger(V_I8(&value));
    case VT_UI1:
        return CellValue::FromInteger(V_UI1(&value));
    case VT_UI2:
        return CellValue::FromInteger(V_UI2(&value));
    case VT_UI4:
        return CellValue::FromInteger(V_UI4(&value));
    case VT_UINT:
        return CellValue::FromInteger(V_UINT(&value));
    case VT_UI8:
        if (V_UI8(&value) > static_cast<ULONGLONG>(std::numeric_limits<std::int64_t>::max())) {
            return TextCell(value);
        }
        return CellValue::FromInteger(static_cast<std::int64_t>(V_UI8(&value)));
    case VT_R4:
        return CellValue::FromReal(V_R4(&value));
    case VT_R8:
        return CellValue::FromReal(V_R8(&value));
    case VT_BOOL:
        return CellValue::FromBoolean(V_BOOL(&value) != VARIANT_FALSE);
    case VT_BSTR:
        return CellValue::FromText(TextFromBstr(V_BSTR(&value)));
    case VT_CY:
    case VT_DATE:
    case VT_DECIMAL:
        return TextCell(value);
    default:
        return CellValue::Unsupported();
    }
}

int SafeArrayInputTable::Dimensions() const {
    return DimensionsOf(array_);
}

std::int32_t SafeArrayInputTable::LowerBound(int dimension) const {
    return BoundOf(array_, dimension, false);
}

std::int32_t SafeArrayInputTable::UpperBound(int dimension) const {
    return BoundOf(array_, dimension, true);
}

CellValue SafeArrayInputTable::Get(std::int32_t column, std::int32_t row) const {
    CheckIndex(array_, column, row);
    LONG indices[2] = {column, row};
    switch (ElementType(array_)) {
    case VT_VARIANT: {
        ScopedVariant element;
        ThrowElementFailure(SafeArrayGetElement(array_, indices, element.Receive()),
                            u"SafeArrayGetElement");
        return CellFromVariant(element.Get());
    }
    case VT_BSTR: {
        ScopedBstr element;
        ThrowElementFailure(SafeArrayGetElement(array_, indices, element.Receive()),
                            u"SafeArrayGetElement");
        return CellValue::FromText(element.ToText());
    }
    default:
        return CellValue::Unsupported();
    }
}

int SafeArrayArgumentList::Dimensions() const {
    return DimensionsOf(array_);
}

std::int32_t SafeArrayArgumentList::LowerBound(int dimension) const {
    return BoundOf(array_, dimension, false);
}

std::int32_t SafeArrayArgumentList::UpperBound(int dimension) const {
    return BoundOf(array_, dimension, true);
}

VARTYPE SafeArrayArgumentList::WritableElementType() const {
    const VARTYPE type = ElementType(array_);
    if (type == VT_BSTR || (type == VT_VARIANT && entries_ == ListEntries::TextsOrVariants)) {
        return type;
    }
    throw Failures::TypeMismatch();
}

Text SafeArrayArgumentList::Get(std::int32_t column, std::int32_t row) const {
    CheckIndex(array_, column, row);
    LONG indices[2] = {column, row};
    if (WritableElementType() == VT_VARIANT) {
        ScopedVariant entry;
        ThrowElementFailure(SafeArrayGetElement(array_, indices, entry.Receive()),
                            u"SafeArrayGetElement");
        return CellText(CellFromVariant(entry.Get()));
    }
    ScopedBstr element;
    ThrowElementFailure(SafeArrayGetElement(array_, indices, element.Receive()),
                        u"SafeArrayGetElement");
    return element.ToText();
}

void SafeArrayArgumentList::Set(std::int32_t column, std::int32_t row, TextView value) {
    CheckIndex(array_, column, row);
    const VARTYPE element = WritableElementType();
    const AccessLock lock(array_);
    LONG indices[2] = {column, row};
    void* slot = nullptr;
    ThrowElementFailure(SafeArrayPtrOfIndex(array_, indices, &slot), u"SafeArrayPtrOfIndex");
    PutText(element, slot, value);
}

void SafeArrayArgumentList::SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                                    std::size_t& written) {
    if (rows.empty()) {
        return;
    }
    const std::int64_t lastRow =
        std::int64_t{firstRow} + static_cast<std::int64_t>(rows.size()) - 1;
    if (lastRow > std::numeric_limits<std::int32_t>::max()) {
        throw Failures::SubscriptOutOfRange();
    }
    CheckIndex(array_, 0, firstRow);
    CheckIndex(array_, 1, static_cast<std::int32_t>(lastRow));
    const VARTYPE element = WritableElementType();
    const auto columns = static_cast<std::size_t>(std::int64_t{BoundOf(array_, 1, true)} -
                                                  BoundOf(array_, 1, false) + 1);
    // One lock and one look-up for the whole batch instead of one of each per entry: the first
    // index varies fastest, so a row's entries lie side by side and rows follow each other.
    const AccessLock lock(array_);
    LONG indices[2] = {0, firstRow};
    void* first = nullptr;
    ThrowElementFailure(SafeArrayPtrOfIndex(array_, indices, &first), u"SafeArrayPtrOfIndex");
    const std::size_t entrySize = array_->cbElements;
    auto* entry = static_cast<char*>(first);
    for (const ArgumentRow& argument : rows) {
        PutText(element, entry, argument.Name);
        PutText(element, entry + entrySize, argument.Value);
        entry += columns * entrySize;
        ++written;
    }
}

// The new text goes into the array as it is, where SafeArrayPutElement would allocate a second
// copy of it: one allocation per entry instead of two. The array is locked by the caller. The
// rows a list was just grown by hold nothing, so nothing is freed or cleared there: one call
// into the system per entry instead of two.
void SafeArrayArgumentList::PutText(VARTYPE element, void* slot, TextView value) {
    ScopedBstr text(value);
    if (element == VT_VARIANT) {
        VARIANT* entry = static_cast<VARIANT*>(slot);
        if (V_VT(entry) != VT_EMPTY) {
            ThrowIfFailed(VariantClear(entry), u"VariantClear");
        }
        V_BSTR(entry) = text.Release();
        V_VT(entry) = VT_BSTR;
        return;
    }
    BSTR* entry = static_cast<BSTR*>(slot);
    if (*entry != nullptr) {
        SysFreeString(*entry);
    }
    *entry = text.Release();
}

void SafeArrayArgumentList::GrowRows(std::int32_t newUpperRow) {
    if (DimensionsOf(array_) != 2) {
        throw Failures::SubscriptOutOfRange();
    }
    // Only data the platform allocated can be reallocated. Data in the host's own static,
    // stack or embedded memory is the host's: reallocating it would free memory the
    // allocator never gave out.
    constexpr USHORT fixedData = FADF_FIXEDSIZE | FADF_STATIC | FADF_AUTO | FADF_EMBEDDED;
    if ((array_->fFeatures & fixedData) != 0 || array_->cLocks != 0) {
        throw ArrayLocked();
    }
    const std::int32_t lower = BoundOf(array_, 2, false);
    if (newUpperRow < lower - 1) {
        throw Failures::SubscriptOutOfRange();
    }
    // The bound handed to SafeArrayRedim replaces the last dimension: the rows.
    SAFEARRAYBOUND rows{static_cast<ULONG>(static_cast<std::int64_t>(newUpperRow) - lower + 1),
                        lower};
    ThrowElementFailure(SafeArrayRedim(array_, &rows), u"SafeArrayRedim");
}

} // namespace varkel::win32
