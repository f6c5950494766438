// Tables no host should send, handed to a real page through its vtable: missing references and
// arrays, the wrong number of dimensions, bounds that do not start at 0, no rows, the wrong
// element types, locked and fixed-size arrays, texts with embedded NULs, NULL strings, objects,
// nested arrays, references and 32,000 rows. Each gets the page's own answer (its boxes, log
// lines and result) or loads and generates as usual. None may crash the host, touch memory
// outside the array (most shapes are also handed in from guarded memory), change the host's
// input table, leave a lock behind, or leak: the task allocator's blocks and the heaps' bytes
// in use are the same after the last run of a shape as after its first.

#include "win32/support/GuardedArray.h"
#include "win32/support/MemoryInUse.h"
#include "win32/support/OutgoingLists.h"
#include "win32/support/PageComFixture.h"
#include "win32/support/VarkelModule.h"

#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedSafeArray.h"

#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace varkel::testing {
namespace {

using win32::ComPtr;
using win32::ScopedBstr;
using win32::ScopedSafeArray;

const std::wstring KsWarning = L"Warning: Use of the /KS parameter is not recommended.";
const std::wstring ApplicationTitle = L"QX Interface for GSE D/3 DBA - NUX Cont";
const std::string LogPrefix = "QX NUX> if01> ";
const std::wstring LoadLocation = L"in LoadDefaults() of if01 NUX Control";
const std::wstring GenerateLocation = L"in GetAllArgumentsSafeArray() of if01 NUX Control";
const std::wstring AddSource = L"varkel in CommonNUXControlCode.AddArgumentToOutGoingSafeArray";
// A NULL BSTR where a list's entry is read back.
const std::wstring Null = L"<null>";

// ---------------------------------------------------------------------------------------------
// Cells: each makes a fresh VARIANT that the array copies and the maker then clears.

using Cell = std::function<void(VARIANT&)>;

Cell Str(std::wstring text) {
    return [text](VARIANT& value) {
        V_VT(&value) = VT_BSTR;
        V_BSTR(&value) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    };
}
Cell NullStr() {
    return [](VARIANT& value) {
        V_VT(&value) = VT_BSTR;
        V_BSTR(&value) = nullptr;
    };
}
Cell Long(LONG number) {
    return [number](VARIANT& value) {
        V_VT(&value) = VT_I4;
        V_I4(&value) = number;
    };
}
Cell NullValue() {
    return [](VARIANT& value) { V_VT(&value) = VT_NULL; };
}
Cell Object(IDispatch* object) {
    return [object](VARIANT& value) {
        V_VT(&value) = VT_DISPATCH;
        V_DISPATCH(&value) = object;
        if (object != nullptr) {
            object->AddRef();
        }
    };
}
Cell TextArray() {
    return [](VARIANT& value) {
        SAFEARRAYBOUND bound{2, 0};
        V_VT(&value) = VT_ARRAY | VT_BSTR;
        V_ARRAY(&value) = SafeArrayCreate(VT_BSTR, 1, &bound);
        LONG index = 0;
        ScopedBstr text(u"/CH");
        SafeArrayPutElement(V_ARRAY(&value), &index, text.Get());
    };
}
Cell Reference(VARTYPE type, void* target) {
    return [type, target](VARIANT& value) {
        V_VT(&value) = static_cast<VARTYPE>(VT_BYREF | type);
        V_BYREF(&value) = target;
    };
}

// Puts a cell into an array of any of the element types used here.
void PutCell(SAFEARRAY* array, std::vector<LONG> indices, const Cell& cell) {
    VARIANT value;
    VariantInit(&value);
    cell(value);
    VARTYPE type = VT_EMPTY;
    SafeArrayGetVartype(array, &type);
    HRESULT hr = E_INVALIDARG;
    if (type == VT_VARIANT) {
        hr = SafeArrayPutElement(array, indices.data(), &value);
    } else if (type == VT_BSTR && V_VT(&value) == VT_BSTR) {
        hr = SafeArrayPutElement(array, indices.data(), V_BSTR(&value));
    } else if (type == VT_I4 && V_VT(&value) == VT_I4) {
        hr = SafeArrayPutElement(array, indices.data(), &V_I4(&value));
    } else if (type == VT_DISPATCH && V_VT(&value) == VT_DISPATCH) {
        hr = SafeArrayPutElement(array, indices.data(), V_DISPATCH(&value));
    }
    EXPECT_EQ(hr, S_OK) << "the test could not fill its own array";
    VariantClear(&value);
}

// How an array is filled: cells at their indices (first index first).
using Filler = std::function<void(SAFEARRAY*)>;

// Rows of a two-dimensional table, from the array's own lower bounds.
Filler TableRows(std::vector<std::vector<Cell>> rows) {
    return [rows](SAFEARRAY* array) {
        LONG firstColumn = 0;
        LONG firstRow = 0;
        SafeArrayGetLBound(array, 1, &firstColumn);
        SafeArrayGetLBound(array, 2, &firstRow);
        for (std::size_t row = 0; row < rows.size(); ++row) {
            for (std::size_t column = 0; column < rows[row].size(); ++column) {
                PutCell(
                    array,
                    {firstColumn + static_cast<LONG>(column), firstRow + static_cast<LONG>(row)},
                    rows[row][column]);
            }
        }
    };
}

Filler CellsAt(std::vector<std::pair<std::vector<LONG>, Cell>> cells) {
    return [cells](SAFEARRAY* array) {
        for (const auto& [indices, cell] : cells) {
            PutCell(array, indices, cell);
        }
    };
}

struct ArraySpec {
    VARTYPE type = VT_VARIANT;
    std::vector<SAFEARRAYBOUND> bounds; // in the order of the indices: columns, then rows
    Filler fill;
};

// How the host holds what it hands in.
enum class Hold {
    Plain,
    Locked,      // the host holds a SafeArrayLock through the call
    FixedSize,   // FADF_FIXEDSIZE
    StaticData,  // FADF_STATIC, the data in the host's own memory, without FADF_FIXEDSIZE
    NullArray,   // a reference to a NULL array
    NullPointer, // no reference at all
};

enum class Memory { Platform, GuardedEnd, GuardedStart };

const char* NameOf(Memory memory) {
    switch (memory) {
    case Memory::Platform:
        return "platform's array";
    case Memory::GuardedEnd:
        return "guarded, data against its end";
    case Memory::GuardedStart:
        return "guarded, data against its start";
    }
    return "";
}

const std::vector<Memory> EveryMemory{Memory::Platform, Memory::GuardedEnd, Memory::GuardedStart};
const std::vector<Memory> PlatformTwice{Memory::Platform, Memory::Platform};

// The array a test hands in, as the host would hold it.
class HostArray {
public:
    HostArray(const ArraySpec& spec, Hold hold, Memory memory) : hold_(hold) {
        if (hold == Hold::NullArray || hold == Hold::NullPointer) {
            return;
        }
        if (memory == Memory::Platform) {
            owned_.Reset(SafeArrayCreate(spec.type, static_cast<UINT>(spec.bounds.size()),
                                         const_cast<SAFEARRAYBOUND*>(spec.bounds.data())));
            array_ = owned_.Get();
        } else {
            guarded_ = std::make_unique<GuardedArray>(spec.type, spec.bounds,
                                                      memory == Memory::GuardedEnd
                                                          ? GuardPlacement::DataAgainstEnd
                                                          : GuardPlacement::DataAgainstStart);
            array_ = guarded_->Get();
        }
        EXPECT_NE(array_, nullptr);
        if (array_ == nullptr) {
            return;
        }
        if (spec.fill) {
            spec.fill(array_);
        }
        if (hold == Hold::FixedSize) {
            array_->fFeatures |= FADF_FIXEDSIZE;
        }
        if (hold == Hold::StaticData) {
            EXPECT_NE(memory, Memory::Platform) << "static data lies in guarded memory";
            array_->fFeatures &= static_cast<USHORT>(~FADF_FIXEDSIZE);
        }
        if (hold == Hold::Locked) {
            EXPECT_EQ(SafeArrayLock(array_), S_OK);
        }
        reference_ = array_;
    }
    HostArray(const HostArray&) = delete;
    HostArray& operator=(const HostArray&) = delete;
    ~HostArray() {
        if (array_ == nullptr) {
            return;
        }
        if (hold_ == Hold::Locked) {
            EXPECT_EQ(SafeArrayUnlock(array_), S_OK);
        }
        if (hold_ == Hold::FixedSize && owned_.Get() != nullptr) {
            array_->fFeatures &= static_cast<USHORT>(~FADF_FIXEDSIZE);
        }
    }

    SAFEARRAY** Reference() { return hold_ == Hold::NullPointer ? nullptr : &reference_; }
    SAFEARRAY* Array() const { return array_; }
    // The page grows the host's array in place and never replaces it.
    bool StillReferenced() const { return reference_ == array_; }

private:
    Hold hold_;
    ScopedSafeArray owned_;
    std::unique_ptr<GuardedArray> guarded_;
    SAFEARRAY* array_ = nullptr;
    SAFEARRAY* reference_ = nullptr;
};

// Everything the array holds, in memory order, with its shape, flags and lock count: to show
// that it is exactly as it was handed in.
std::vector<std::wstring> Fingerprint(SAFEARRAY* array) {
    std::vector<std::wstring> parts;
    if (array == nullptr) {
        return parts;
    }
    std::size_t cells = 1;
    std::wstring shape = L"dims " + std::to_wstring(array->cDims) + L" features " +
                         std::to_wstring(array->fFeatures) + L" locks " +
                         std::to_wstring(array->cLocks);
    for (USHORT i = 0; i < array->cDims; ++i) {
        shape += L" [" + std::to_wstring(array->rgsabound[i].lLbound) + L"+" +
                 std::to_wstring(array->rgsabound[i].cElements) + L"]";
        cells *= array->rgsabound[i].cElements;
    }
    parts.push_back(shape);
    VARTYPE type = VT_EMPTY;
    SafeArrayGetVartype(array, &type);
    const auto* data = static_cast<const BYTE*>(array->pvData);
    for (std::size_t i = 0; i < cells; ++i) {
        const BYTE* element = data + i * array->cbElements;
        if (type == VT_BSTR) {
            const BSTR text = *reinterpret_cast<const BSTR*>(element);
            parts.push_back(text == nullptr ? Null : std::wstring(text, SysStringLen(text)));
        } else if (type == VT_VARIANT) {
            const auto* value = reinterpret_cast<const VARIANT*>(element);
            std::wstring part = L"vt " + std::to_wstring(V_VT(value)) + L" ";
            if (V_VT(value) == VT_BSTR) {
                part += V_BSTR(value) == nullptr
                            ? Null
                            : std::wstring(V_BSTR(value), SysStringLen(V_BSTR(value)));
            } else {
                part += std::to_wstring(V_UI4(value));
            }
            parts.push_back(part);
        } else {
            parts.push_back(std::to_wstring(*reinterpret_cast<const ULONG*>(element)));
        }
    }
    return parts;
}

// ---------------------------------------------------------------------------------------------
// What the page shows and logs.

struct ExpectedBox {
    std::wstring text;
    LPCWSTR icon;
    std::wstring title;
};

std::wstring HexText(int number) {
    wchar_t text[16] = {};
    swprintf(text, 16, L"%X", static_cast<unsigned>(number));
    return text;
}

ExpectedBox ErrorBox(const std::wstring& location, const std::wstring& source, int number,
                     const std::wstring& description) {
    const std::wstring decimal = std::to_wstring(number);
    return {L"Method:\t\t" + location + L"\r\nSource:\t\t" + source + L"\r\nError:\t\t" +
                HexText(number) + L"h   (" + decimal + L")\r\nDescription:\t" + description,
            IDI_HAND, PageTitle};
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t unit : text) {
        narrow.push_back(static_cast<char>(unit));
    }
    return narrow;
}

std::string ErrorLine(const std::wstring& method, const std::wstring& source, int number,
                      const std::wstring& description) {
    return Narrow(L"Error in method: " + method + L", Source: " + source + L", Error: " +
                  HexText(number) + L" h   (" + std::to_wstring(number) + L") , Description: " +
                  description);
}

struct Trapped {
    int number;
    std::wstring description;
};
const Trapped OutOfRange{9, L"Subscript out of range"};
const Trapped Locked{10, L"This array is fixed or temporarily locked"};
const Trapped Mismatch{13, L"Type mismatch"};
const Trapped UseOfNull{94, L"Invalid use of Null"};

ExpectedBox LoadFailureBox(const Trapped& failure) {
    return ErrorBox(LoadLocation, L"varkel", failure.number, failure.description);
}
std::vector<std::string> LoadFailureLog(const Trapped& failure) {
    return {ErrorLine(LoadLocation, L"varkel", failure.number, failure.description)};
}
// A failure of an append that generation itself made: logged where it was trapped, then shown
// and logged by the page.
ExpectedBox GenerateFailureBox(const Trapped& failure) {
    return ErrorBox(GenerateLocation, AddSource, failure.number, failure.description);
}
std::vector<std::string> GenerateFailureLog(const Trapped& failure) {
    return {ErrorLine(AddSource, AddSource, failure.number, failure.description),
            ErrorLine(GenerateLocation, AddSource, failure.number, failure.description)};
}
const ExpectedBox KsWarningBox{KsWarning, IDI_EXCLAMATION, ApplicationTitle};

// The two lines the tokenizer writes for an additional text without a switch prefix.
std::vector<std::string> SeparatorFailureLog() {
    const std::wstring source = L"CommonNUXControlCode.ParseCommmandLineArguments";
    const std::wstring description =
        L"Error, unable to determine the separators are in the selected configuration file. "
        L"\rPlease edit the configuration file and be sure that the delimiters are all '/'.";
    const std::wstring grown = source + L" in CommonNUXControlCode.ParseCommmandLineArguments";
    return {ErrorLine(source, source, 1, description), ErrorLine(grown, grown, 1, description)};
}

// An automation object that only counts its references: an element the page must neither keep
// nor release more often than it took it.
class CountedObject final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        ++calls;
        return DISP_E_MEMBERNOTFOUND;
    }
    long references = 1;
    int calls = 0;
};

// ---------------------------------------------------------------------------------------------
// Shapes

ArraySpec TextList(std::vector<SAFEARRAYBOUND> bounds, Filler fill = {}) {
    return {VT_BSTR, std::move(bounds), std::move(fill)};
}

// A table and what the page makes of it. Unless told otherwise: handed in as it stands, from
// the platform's memory and from guarded memory, loaded with the result 1, no box, no log line
// and a clean page that generates nothing.
struct LoadShape {
    LoadShape(const char* shapeName, ArraySpec shapeTable)
        : name(shapeName), table(std::move(shapeTable)) {}

    LoadShape& Held(Hold how) {
        hold = how;
        return *this;
    }
    LoadShape& In(std::vector<Memory> where) {
        memories = std::move(where);
        return *this;
    }
    LoadShape& Fails(const Trapped& failure) {
        result = 0;
        boxes.push_back(LoadFailureBox(failure));
        log = LoadFailureLog(failure);
        return *this;
    }
    LoadShape& Shows(ExpectedBox box) {
        boxes.push_back(std::move(box));
        return *this;
    }
    LoadShape& LeavesUnsaved() {
        unsaved = true;
        return *this;
    }
    LoadShape& Generates(ListRows rows) {
        generated = std::move(rows);
        return *this;
    }
    // Logged failures of the additional text: generation answers 0.
    LoadShape& LogsWhenGenerating(std::vector<std::string> lines) {
        generationLog = std::move(lines);
        generationResult = 0;
        return *this;
    }

    const char* name;
    ArraySpec table;
    Hold hold = Hold::Plain;
    std::vector<Memory> memories = EveryMemory;
    LONG result = 1;
    std::vector<ExpectedBox> boxes;
    std::vector<std::string> log;
    bool unsaved = false;
    // What GetAllArgumentsSafeArray appends afterwards: the page as the load left it.
    ListRows generated;
    std::vector<std::string> generationLog;
    LONG generationResult = 1;
};

// What the page holds when it is asked for its arguments.
enum class Loaded {
    // "/BL" and "/CH" from the page's own boxes, then "/PS=1" from the additional text.
    BoxesAndAdditional,
    // Only the additional text "/PS=1 /Q ": its failures are logged and not shown.
    AdditionalOnly,
};

// A list and what generation makes of it. Unless told otherwise: the page holds
// Loaded::BoxesAndAdditional, the list is handed in as it stands, from the platform's memory
// and from guarded memory, and comes back exactly as it was, with the result 1, no box and
// no log line.
struct GenerateShape {
    GenerateShape(const char* shapeName, ArraySpec shapeList)
        : name(shapeName), list(std::move(shapeList)) {}

    GenerateShape& With(Loaded what) {
        loaded = what;
        return *this;
    }
    GenerateShape& Held(Hold how) {
        hold = how;
        return *this;
    }
    GenerateShape& In(std::vector<Memory> where) {
        memories = std::move(where);
        return *this;
    }
    GenerateShape& Fails(const Trapped& failure) {
        result = 0;
        boxes.push_back(GenerateFailureBox(failure));
        log = GenerateFailureLog(failure);
        return *this;
    }
    // Logged failures of the additional text, not shown: the list lacks switches, result 0.
    GenerateShape& Logs(std::vector<std::string> lines) {
        log = std::move(lines);
        result = 0;
        return *this;
    }
    GenerateShape& Holds(ListRows after) {
        rows = std::move(after);
        return *this;
    }

    const char* name;
    ArraySpec list;
    Loaded loaded = Loaded::BoxesAndAdditional;
    Hold hold = Hold::Plain;
    std::vector<Memory> memories = EveryMemory;
    LONG result = 1;
    std::vector<ExpectedBox> boxes;
    std::vector<std::string> log;
    // The list's rows afterwards; none given: the list must be exactly as it was handed in.
    std::optional<ListRows> rows;
};

// ---------------------------------------------------------------------------------------------

class HostileInput : public PageComFixture {
protected:
    void SetUp() override {
        PageComFixture::SetUp();
        page = CreatePageByProgId();
        ASSERT_TRUE(page);
        vtable = As<_varkel1>(page, IID__varkel1);
        ASSERT_TRUE(vtable);
        // What one answered box costs the hook itself: it remembers every box it answered.
        std::set<HWND> remembered;
        const std::size_t before = HeapBytesInUse();
        remembered.insert(HWND{});
        bytesPerBox = HeapBytesInUse() - before;
    }

    void TearDown() override {
        vtable.Reset();
        page.Reset();
        PageComFixture::TearDown();
    }

    // Log lines written since `mark`, all of which must carry the page's prefix.
    std::vector<std::string> LogSince(std::size_t mark) {
        const std::vector<LogLine> lines = Log();
        std::vector<std::string> messages;
        for (std::size_t i = mark; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].prefix, LogPrefix);
            messages.push_back(lines[i].message);
        }
        return messages;
    }

    void ExpectBoxes(const std::vector<ExpectedBox>& expected) {
        ASSERT_EQ(hook.shown.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("box " + std::to_string(i));
            EXPECT_EQ(hook.shown[i].text, expected[i].text);
            EXPECT_EQ(hook.shown[i].title, expected[i].title);
            EXPECT_EQ(hook.shown[i].icon, MessageBoxHook::StandardIcon(expected[i].icon));
            EXPECT_FALSE(hook.shown[i].yesNo);
        }
    }

    // The rows generation appends to a list of one empty row (none when it appends nothing).
    ListRows Generated(LONG expectedResult = 1) {
        ScopedSafeArray list = OutgoingList(1);
        SAFEARRAY* reference = list.Get();
        LONG result = -1;
        EXPECT_EQ(vtable->GetAllArgumentsSafeArray(&reference, &result), S_OK);
        EXPECT_EQ(result, expectedResult);
        ListRows rows = RowsOf(list.Get(), Null);
        if (rows == ListRows{{Null, Null}}) {
            rows.clear();
        }
        return rows;
    }

    LONG Load(SAFEARRAY** table) {
        ScopedBstr path(u"C:\\Interfaces\\D3");
        LONG result = -1;
        EXPECT_EQ(vtable->LoadDefaults(table, path.InOut(), &result), S_OK);
        return result;
    }

    // Counts the task allocator's blocks from here on. Not for the largest tables: the platform
    // keeps the blocks it saw in a list it searches on every allocation, and 100,000 BSTRs make
    // each call slow; their runs are checked by the heaps' bytes alone (the task allocator
    // takes its blocks from the process heap).
    void CountTaskAllocations() { ASSERT_TRUE(TaskAllocationSpy::Register()); }

    // Runs a shape once per memory and checks that the last run holds what the first held.
    void RunShape(const std::vector<Memory>& memories, const std::function<void(Memory)>& run) {
        MemoryInUse afterFirst{};
        std::size_t boxesSinceFirst = 0;
        for (std::size_t i = 0; i < memories.size(); ++i) {
            {
                SCOPED_TRACE(NameOf(memories[i]));
                run(memories[i]);
            }
            if (i > 0) {
                boxesSinceFirst += hook.shown.size();
            }
            hook.shown.clear();
            if (i == 0) {
                afterFirst = MemoryNow();
            }
        }
        const MemoryInUse afterLast = MemoryNow();
        EXPECT_EQ(afterLast.taskBlocks, afterFirst.taskBlocks)
            << "BSTRs, arrays or variant payloads left behind";
        EXPECT_EQ(afterLast.heapBytes, afterFirst.heapBytes + boxesSinceFirst * bytesPerBox)
            << "heap memory left behind";
    }

    void RunLoadShape(const LoadShape& shape) {
        SCOPED_TRACE(shape.name);
        RunShape(shape.memories, [&](Memory memory) {
            const std::size_t logMark = Log().size();
            for (std::size_t i = 0; i < shape.boxes.size(); ++i) {
                hook.Expect(IDOK);
            }
            {
                HostArray table(shape.table, shape.hold, memory);
                const auto before = Fingerprint(table.Array());
                EXPECT_EQ(Load(table.Reference()), shape.result);
                EXPECT_TRUE(table.StillReferenced());
                EXPECT_EQ(Fingerprint(table.Array()), before) << "the host's table changed";
            }
            ExpectBoxes(shape.boxes);
            EXPECT_EQ(LogSince(logMark), shape.log);
            VARIANT_BOOL unsaved = VARIANT_FALSE;
            EXPECT_EQ(vtable->ControlHasUnsavedChanges(&unsaved), S_OK);
            EXPECT_EQ(unsaved != VARIANT_FALSE, shape.unsaved);

            const std::size_t generationMark = Log().size();
            const std::size_t boxesBefore = hook.shown.size();
            EXPECT_EQ(Generated(shape.generationResult), shape.generated);
            EXPECT_EQ(hook.shown.size(), boxesBefore) << "generation showed a box";
            EXPECT_EQ(LogSince(generationMark), shape.generationLog);
        });
    }

    void RunGenerateShape(const GenerateShape& shape) {
        SCOPED_TRACE(shape.name);
        RunShape(shape.memories, [&](Memory memory) {
            HostArray table({VT_VARIANT,
                             {{3, 0}, {3, 0}},
                             shape.loaded == Loaded::BoxesAndAdditional
                                 ? TableRows({{Str(L"/BL"), Str(L""), Long(0)},
                                              {Str(L"/CH"), Str(L""), Long(0)},
                                              {Str(L"/PS"), Str(L"1"), Long(0)}})
                                 : TableRows({{Str(L"/PS"), Str(L"1"), Long(0)},
                                              {Str(L"/Q"), Str(L""), Long(0)},
                                              {Str(L"/Q2"), Str(L""), Long(1)}})},
                            Hold::Plain, Memory::Platform);
            ASSERT_EQ(Load(table.Reference()), 1);
            ASSERT_TRUE(hook.shown.empty());

            const std::size_t logMark = Log().size();
            for (std::size_t i = 0; i < shape.boxes.size(); ++i) {
                hook.Expect(IDOK);
            }
            HostArray list(shape.list, shape.hold, memory);
            const auto before = Fingerprint(list.Array());
            LONG result = -1;
            EXPECT_EQ(vtable->GetAllArgumentsSafeArray(list.Reference(), &result), S_OK);
            EXPECT_EQ(result, shape.result);
            EXPECT_TRUE(list.StillReferenced());
            ExpectBoxes(shape.boxes);
            EXPECT_EQ(LogSince(logMark), shape.log);
            if (shape.rows) {
                EXPECT_EQ(RowsOf(list.Array(), Null), *shape.rows);
                EXPECT_EQ(list.Array()->cLocks, shape.hold == Hold::Locked ? 1u : 0u)
                    << "a lock was left behind or taken away";
            } else {
                EXPECT_EQ(Fingerprint(list.Array()), before) << "the list changed";
            }
        });
    }

    ComPtr<IUnknown> page;
    ComPtr<_varkel1> vtable;
    std::size_t bytesPerBox = 0;
};

// ---------------------------------------------------------------------------------------------
// LoadDefaults

// The table a well-behaved host sends, as rows of switch, value and marker.
ArraySpec GoodTable() {
    return {VT_VARIANT,
            {{3, 0}, {3, 0}},
            TableRows({{Str(L"/CH"), Str(L""), Long(0)},
                       {Str(L"-itdelim"), Str(L"a"), Long(0)},
                       {Str(L"/PS"), Str(L"1"), Long(0)}})};
}
const ListRows GoodTableGenerated{{L"/CH", L""}, {L"/ITDELIM", L"A"}, {L"/PS", L"1"}};

TEST_F(HostileInput, LoadDefaultsReportsWhatItCannotReadAndLoadsTheRest) {
    CountTaskAllocations();
    CountedObject object;
    ScopedBstr referencedSwitch(u"/CH");
    VARIANT referencedVariant;
    VariantInit(&referencedVariant);
    V_VT(&referencedVariant) = VT_BSTR;
    V_BSTR(&referencedVariant) = SysAllocString(L"/PS");
    LONG referencedValue = 7;
    LONG referencedMarker = 0;
    // A variant that refers to itself, and one that refers to another reference.
    VARIANT selfReference;
    V_VT(&selfReference) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&selfReference) = &selfReference;
    VARIANT referenceToReference;
    V_VT(&referenceToReference) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&referenceToReference) = &referencedVariant;
    BSTR nullText = nullptr;

    const ArraySpec noArray{};
    const LoadShape shapes[] = {
        LoadShape("no reference to a table", noArray)
            .Held(Hold::NullPointer)
            .In(PlatformTwice)
            .Fails(OutOfRange),
        LoadShape("a NULL table", noArray)
            .Held(Hold::NullArray)
            .In(PlatformTwice)
            .Fails(OutOfRange),
        LoadShape("one dimension",
                  {VT_VARIANT, {{3, 0}}, CellsAt({{{0}, Str(L"/CH")}, {{2}, Long(0)}})})
            .Fails(OutOfRange),
        LoadShape("three dimensions",
                  {VT_VARIANT, {{3, 0}, {1, 0}, {1, 0}}, CellsAt({{{0, 0, 0}, Str(L"/CH")}})})
            .Fails(OutOfRange),
        LoadShape("rows from 1",
                  {VT_VARIANT, {{3, 0}, {2, 1}}, TableRows({{Str(L"/CH"), Str(L""), Long(0)}})})
            .Fails(OutOfRange),
        LoadShape("columns from 1",
                  {VT_VARIANT, {{3, 1}, {1, 0}}, TableRows({{Str(L"/CH"), Str(L""), Long(0)}})})
            .Fails(OutOfRange),
        LoadShape("rows from -1", {VT_VARIANT,
                                   {{3, 0}, {3, static_cast<LONG>(-1)}},
                                   TableRows({{Str(L"/HW"), Str(L""), Long(0)},
                                              {Str(L"/CH"), Str(L""), Long(0)},
                                              {Str(L"/PS"), Str(L"1"), Long(0)}})})
            .Fails(OutOfRange),
        LoadShape("no rows", {VT_VARIANT, {{3, 0}, {0, 0}}, {}}),
        LoadShape("no columns", {VT_VARIANT, {{0, 0}, {2, 0}}, {}}).Fails(OutOfRange),
        LoadShape("no marker column: known switches load until an unknown one",
                  {VT_VARIANT,
                   {{2, 0}, {3, 0}},
                   TableRows({{Str(L"/CH"), Str(L"")}, {Str(L"/PS"), Str(L"1")}})})
            .Fails(OutOfRange)
            .LeavesUnsaved()
            .Generates({{L"/CH", L""}}),
        LoadShape("an array of BSTRs is read as texts",
                  {VT_BSTR,
                   {{3, 0}, {3, 0}},
                   TableRows({{Str(L"/KS"), Str(L"5"), Str(L"")},
                              {Str(L"/ZZ"), Str(L""), Str(L"1")},
                              {Str(L"/PS"), Str(L"2"), Str(L"0")}})})
            .Shows(KsWarningBox)
            .Generates({{L"/KS", L"5"}, {L"/PS", L"2"}}),
        LoadShape("an array of VT_I4",
                  {VT_I4, {{3, 0}, {1, 0}}, TableRows({{Long(1), Long(2), Long(0)}})})
            .Fails(Mismatch),
        LoadShape("locked by the host", GoodTable())
            .Held(Hold::Locked)
            .In({Memory::Platform, Memory::Platform, Memory::GuardedEnd})
            .Generates(GoodTableGenerated),
        LoadShape("fixed size", GoodTable())
            .Held(Hold::FixedSize)
            .In(PlatformTwice)
            .Generates(GoodTableGenerated),
        LoadShape("BSTRs with embedded NULs",
                  {VT_VARIANT,
                   {{3, 0}, {3, 0}},
                   TableRows({{Str(std::wstring(L"/CH\0", 4)), Str(L""), Long(0)},
                              {Str(L"/PS"), Str(std::wstring(L"a\0b", 3)), Long(0)},
                              {Str(L"/KS"), Str(std::wstring(L"\0", 1)), Long(0)}})})
            .Shows(KsWarningBox)
            .Generates({{L"/KS", std::wstring(L"\0", 1)},
                        {std::wstring(L"/CH\0", 4), L""},
                        {L"/PS", std::wstring(L"a\0b", 3)}}),
        LoadShape("NULL BSTR entries", {VT_VARIANT,
                                        {{3, 0}, {3, 0}},
                                        TableRows({{NullStr(), NullStr(), NullStr()},
                                                   {Str(L"/KS"), NullStr(), Long(0)},
                                                   {Str(L"/CH"), NullStr(), NullStr()}})})
            .Generates({{L"/CH", L""}})
            // The NULL switch went to the additional text as a lone blank, which holds no
            // switch.
            .LogsWhenGenerating(SeparatorFailureLog()),
        LoadShape(
            "a NULL marker",
            {VT_VARIANT, {{3, 0}, {1, 0}}, TableRows({{Str(L"/PS"), Str(L"1"), NullValue()}})})
            .Fails(UseOfNull),
        LoadShape(
            "an object as a switch, after a switch that loads",
            {VT_VARIANT,
             {{3, 0}, {2, 0}},
             TableRows({{Str(L"/CH"), Str(L""), Long(0)}, {Object(&object), Str(L""), Long(0)}})})
            .Fails(Mismatch)
            .LeavesUnsaved()
            .Generates({{L"/CH", L""}}),
        LoadShape(
            "a NULL object as a value",
            {VT_VARIANT, {{3, 0}, {1, 0}}, TableRows({{Str(L"/KS"), Object(nullptr), Long(0)}})})
            .Fails(Mismatch),
        LoadShape("an array as a switch",
                  {VT_VARIANT, {{3, 0}, {1, 0}}, TableRows({{TextArray(), Str(L""), Long(0)}})})
            .Fails(Mismatch),
        LoadShape("references are followed",
                  {VT_VARIANT,
                   {{3, 0}, {2, 0}},
                   TableRows({{Reference(VT_BSTR, referencedSwitch.InOut()), Str(L""),
                               Reference(VT_I4, &referencedMarker)},
                              {Reference(VT_VARIANT, &referencedVariant),
                               Reference(VT_I4, &referencedValue), Long(0)}})})
            .Generates({{L"/CH", L""}, {L"/PS", L"7"}}),
        LoadShape("a variant that refers to itself",
                  {VT_VARIANT,
                   {{3, 0}, {1, 0}},
                   TableRows({{Reference(VT_VARIANT, &selfReference), Str(L""), Long(0)}})})
            .Fails(Mismatch),
        LoadShape("a reference to a reference",
                  {VT_VARIANT,
                   {{3, 0}, {1, 0}},
                   TableRows({{Reference(VT_VARIANT, &referenceToReference), Str(L""), Long(0)}})})
            .Fails(Mismatch),
        LoadShape("no rows, from the lowest bound",
                  {VT_VARIANT, {{3, 0}, {0, std::numeric_limits<LONG>::min()}}, {}})
            .Fails(OutOfRange),
        LoadShape("a NULL reference",
                  {VT_VARIANT,
                   {{3, 0}, {1, 0}},
                   TableRows({{Reference(VT_BSTR, nullptr), Str(L""), Long(0)}})})
            .Fails(Mismatch),
        LoadShape("a reference to a NULL BSTR",
                  {VT_VARIANT,
                   {{3, 0}, {1, 0}},
                   TableRows({{Str(L"/KS"), Reference(VT_BSTR, &nullText), Long(0)}})}),
    };
    for (const LoadShape& shape : shapes) {
        RunLoadShape(shape);
    }
    EXPECT_EQ(object.references, 1) << "the page kept or released the host's object";
    EXPECT_EQ(object.calls, 0);
    VariantClear(&referencedVariant);

    // A host may let go of the page from inside the page's own box: the call still ends with
    // its result, and the page goes once it has.
    hook.Expect(IDOK);
    hook.whileShown = [this](const ShownBox&) {
        vtable.Reset();
        page.Reset();
    };
    _varkel1* const released = vtable.Get();
    ScopedBstr path(u"C:\\Interfaces\\D3");
    SAFEARRAY* none = nullptr;
    LONG result = -1;
    EXPECT_EQ(released->LoadDefaults(&none, path.InOut(), &result), S_OK);
    EXPECT_EQ(result, 0);
    hook.whileShown = nullptr;
    EXPECT_FALSE(page);
    EXPECT_EQ(CanUnloadVarkel(), S_OK) << "the page outlived its last reference";
}

// ---------------------------------------------------------------------------------------------
// GetAllArgumentsSafeArray

TEST_F(HostileInput, GenerationReportsAListItCannotWriteAndKeepsWhatItWrote) {
    CountTaskAllocations();
    CountedObject object;
    BSTR referenced = SysAllocString(L"/X");

    const std::wstring nul(L"\0", 1);
    const ArraySpec noArray{};
    const GenerateShape shapes[] = {
        GenerateShape("no reference to a list", noArray)
            .Held(Hold::NullPointer)
            .In(PlatformTwice)
            .Fails(OutOfRange),
        GenerateShape("a NULL list", noArray)
            .Held(Hold::NullArray)
            .In(PlatformTwice)
            .Fails(OutOfRange),
        GenerateShape("one dimension", TextList({{2, 0}})).Fails(OutOfRange),
        GenerateShape("three dimensions", TextList({{2, 0}, {1, 0}, {1, 0}})).Fails(OutOfRange),
        GenerateShape("columns from 1", TextList({{2, 1}, {1, 0}})).Fails(OutOfRange),
        GenerateShape("rows from 1", TextList({{2, 0}, {1, 1}})).Fails(OutOfRange),
        GenerateShape("rows from -1", TextList({{2, 0}, {2, static_cast<LONG>(-1)}}))
            .Fails(OutOfRange),
        GenerateShape("no rows", TextList({{2, 0}, {0, 0}})).Fails(OutOfRange),
        GenerateShape("three columns", TextList({{3, 0}, {1, 0}})).Fails(OutOfRange),
        GenerateShape("an array of VT_I4", {VT_I4, {{2, 0}, {1, 0}}, {}}).Fails(Mismatch),
        GenerateShape("an array of variants holding texts",
                      {VT_VARIANT, {{2, 0}, {1, 0}}, TableRows({{Str(L""), Str(L"")}})})
            .Fails(Mismatch),
        GenerateShape(
            "an array of objects",
            {VT_DISPATCH, {{2, 0}, {1, 0}}, TableRows({{Object(&object), Object(&object)}})})
            .Fails(Mismatch),
        GenerateShape("variants holding arrays",
                      {VT_VARIANT, {{2, 0}, {1, 0}}, TableRows({{TextArray(), TextArray()}})})
            .Fails(Mismatch),
        GenerateShape(
            "variants holding references",
            {VT_VARIANT,
             {{2, 0}, {1, 0}},
             TableRows({{Reference(VT_BSTR, &referenced), Reference(VT_BSTR, &referenced)}})})
            .Fails(Mismatch),
        GenerateShape("locked by the host: row 0 is written, the next row cannot be added",
                      TextList({{2, 0}, {1, 0}}))
            .Held(Hold::Locked)
            .In({Memory::Platform, Memory::Platform, Memory::GuardedStart})
            .Fails(Locked)
            .Holds({{L"/BL", L""}}),
        GenerateShape("fixed size: row 0 is written, the next row cannot be added",
                      TextList({{2, 0}, {1, 0}}))
            .Held(Hold::FixedSize)
            .Fails(Locked)
            .Holds({{L"/BL", L""}}),
        GenerateShape("data of the host's own: row 0 is written, the next row cannot be added",
                      TextList({{2, 0}, {1, 0}}))
            .Held(Hold::StaticData)
            .In({Memory::GuardedEnd, Memory::GuardedStart})
            .Fails(Locked)
            .Holds({{L"/BL", L""}}),
        GenerateShape("fixed size, additional arguments only: their failure is logged, not shown",
                      TextList({{2, 0}, {1, 0}}))
            .With(Loaded::AdditionalOnly)
            .Held(Hold::FixedSize)
            .Logs({ErrorLine(AddSource, AddSource, Locked.number, Locked.description)})
            .Holds({{L"/PS", L"1"}}),
        GenerateShape("a name of one NUL is not empty",
                      TextList({{2, 0}, {1, 0}}, TableRows({{Str(nul), Str(L"x")}})))
            .In(PlatformTwice)
            .Holds({{nul, L"x"}, {L"/BL", L""}, {L"/CH", L""}, {L"/PS", L"1"}}),
        GenerateShape("one row of NULL BSTRs counts as empty", TextList({{2, 0}, {1, 0}}))
            .In(PlatformTwice)
            .Holds({{L"/BL", L""}, {L"/CH", L""}, {L"/PS", L"1"}}),
        GenerateShape("three rows of NULL BSTRs are kept", TextList({{2, 0}, {3, 0}}))
            .In(PlatformTwice)
            .Holds({{Null, Null},
                    {Null, Null},
                    {Null, Null},
                    {L"/BL", L""},
                    {L"/CH", L""},
                    {L"/PS", L"1"}}),
    };
    for (const GenerateShape& shape : shapes) {
        RunGenerateShape(shape);
    }
    EXPECT_EQ(object.references, 1) << "the page kept or released the host's object";
    EXPECT_EQ(object.calls, 0);
    SysFreeString(referenced);
}

// ---------------------------------------------------------------------------------------------
// 32,000 rows, in and out

TEST_F(HostileInput, ThirtyTwoThousandRowsLoadAndGenerateInFull) {
    constexpr int ManyRows = 32000;
    // 32,000 arguments the page does not know: all go to the additional text and back out.
    std::vector<std::vector<Cell>> manyRows;
    ListRows manyGenerated;
    for (int row = 0; row < ManyRows; ++row) {
        const std::wstring name = L"/U" + std::to_wstring(row);
        const std::wstring value = std::to_wstring(row % 1000);
        manyRows.push_back({Str(name), Str(value), Long(0)});
        manyGenerated.emplace_back(name, value);
    }

    // A list that already holds 32,000 rows: the page appends after them and keeps them all.
    std::vector<std::vector<Cell>> listRows;
    ListRows manyAfter;
    for (int row = 0; row < ManyRows; ++row) {
        const std::wstring name = L"/R" + std::to_wstring(row);
        listRows.push_back({Str(name), Str(std::to_wstring(row))});
        manyAfter.emplace_back(name, std::to_wstring(row));
    }
    manyAfter.insert(manyAfter.end(), {{L"/BL", L""}, {L"/CH", L""}, {L"/PS", L"1"}});

    RunLoadShape(
        LoadShape("32,000 rows", {VT_VARIANT, {{3, 0}, {ManyRows, 0}}, TableRows(manyRows)})
            .In({Memory::Platform, Memory::GuardedEnd})
            .Generates(manyGenerated));
    RunGenerateShape(GenerateShape("32,000 rows already there",
                                   TextList({{2, 0}, {ManyRows, 0}}, TableRows(listRows)))
                         .In(PlatformTwice)
                         .Holds(manyAfter));
}

} // namespace
} // namespace varkel::testing
