// The Windows figures of the page, each a ratio of two times measured in this one run:
//
//  - what a host pays for GetAllArgumentsSafeArray on a 32,000-character additional text (the
//    call through the control's IDispatch into a SAFEARRAY of BSTRs) against the platform's
//    CommandLineToArgvW on the same text followed by the same SAFEARRAY (at most 0.9 times),
//    and against that SAFEARRAY built from names and values split beforehand, the allocations
//    every solution makes (at most 1.2 times); the pieces of generation are timed on their own;
//  - creating the page and showing it in place against creating the same child windows raw
//    (at most 1.5 times);
//  - the size of varkel.dll with the runtime linked in (at most 1 MiB).
//
// Times are wall-clock (QueryPerformanceCounter), since creating windows is work done by the
// window system as much as by this process. The pieces compared are sampled in turns, round
// after round, and each ratio is the median of the rounds' ratios, so that other load on the
// machine weighs on both sides alike. Prints a table and exits with 1 when a figure misses its
// limit. The control is created from the library itself; its start-up needs the stand-ins
// registered in the prefix. Usage: varkel_win32_timing [path of varkel.dll]

#include "../Workloads.h"

#include "common/ThreadState.h"
#include "common/Tokenizer.h"
#include "page/Layout.h"
#include "support/Fakes.h"
#include "win32/adapters/ComPtr.h"
#include "win32/adapters/SafeArrayTables.h"
#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedSafeArray.h"
#include "win32/support/PlainWindowClass.h"
#include "win32/view/ChildWindows.h"
#include "win32/view/PageWindow.h"
#include "win32/view/Scaling.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <varkel_h.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace varkel::bench {
namespace {

constexpr std::size_t AdditionalLength = 32000;
constexpr int Rounds = 31;
constexpr double SampleSeconds = 0.03;

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / frequency;
}

const auto Nothing = [] {};

// The work of one iteration, timed, with what it needs before and after it untimed.
struct Work {
    explicit Work(std::function<void()> timedPart)
        : prepare(Nothing), timed(std::move(timedPart)), cleanUp(Nothing) {}
    Work(std::function<void()> before, std::function<void()> timedPart, std::function<void()> after)
        : prepare(std::move(before)), timed(std::move(timedPart)), cleanUp(std::move(after)) {}

    double Once() const {
        prepare();
        const double start = Now();
        timed();
        const double elapsed = Now() - start;
        cleanUp();
        return elapsed;
    }

    std::function<void()> prepare;
    std::function<void()> timed;
    std::function<void()> cleanUp;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Pieces of work timed side by side: every round takes one sample of each piece in turn, so
// that a machine busy with something else slows them alike, and a ratio is the median of the
// rounds' ratios. A sample repeats its work for about SampleSeconds.
class Comparison {
public:
    int Add(Work work) {
        works_.push_back(std::move(work));
        return static_cast<int>(works_.size()) - 1;
    }

    void Run() {
        std::vector<int> iterations;
        for (const Work& work : works_) {
            work.Once(); // warm-up: caches, classes registered on first use, pages touched
            const double single = std::max(work.Once(), 1e-7);
            iterations.push_back(std::max(1, static_cast<int>(SampleSeconds / single)));
        }
        samples_.assign(works_.size(), {});
        for (int round = 0; round < Rounds; ++round) {
            for (std::size_t index = 0; index < works_.size(); ++index) {
                double total = 0;
                for (int i = 0; i < iterations[index]; ++i) {
                    total += works_[index].Once();
                }
                samples_[index].push_back(total / iterations[index]);
            }
        }
    }

    // Median seconds per iteration.
    double Seconds(int index) const { return Median(samples_[index]); }

    double Ratio(int numerator, int denominator) const {
        std::vector<double> ratios;
        for (int round = 0; round < Rounds; ++round) {
            ratios.push_back(samples_[numerator][round] / samples_[denominator][round]);
        }
        return Median(ratios);
    }

private:
    std::vector<Work> works_;
    std::vector<std::vector<double>> samples_;
};

bool failed = false;

void Fail(const char* what) {
    std::fprintf(stderr, "failed: %s\n", what);
    failed = true;
}

// ---------------------------------------------------------------------------------------------
// What a host pays for GetAllArgumentsSafeArray, against what it would pay without the page.

// Answers any message box the page shows (start-up without the registered stand-ins shows one)
// instead of waiting for a click that never comes, and counts it as a failure.
class BoxGuard {
public:
    BoxGuard()
        : hook_(SetWindowsHookExW(WH_CALLWNDPROCRET, &Procedure, nullptr, GetCurrentThreadId())) {}
    BoxGuard(const BoxGuard&) = delete;
    BoxGuard& operator=(const BoxGuard&) = delete;
    ~BoxGuard() { UnhookWindowsHookEx(hook_); }

private:
    static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_INITDIALOG) {
            wchar_t text[512] = {};
            GetWindowTextW(GetDlgItem(call->hwnd, 0xFFFF), text, 512);
            std::fprintf(stderr, "message box: %ls\n", text);
            Fail("no message box expected");
            PostMessageW(call->hwnd, WM_COMMAND, IDOK, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

struct Control {
    win32::ComPtr<_varkel1> page;
    win32::ComPtr<IDispatch> dispatch;
    DISPID generate = 0;
};

Control CreateControl(HMODULE library) {
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "DllGetClassObject")));
    Control control;
    win32::ComPtr<IClassFactory> factory;
    if (getClassObject == nullptr ||
        FAILED(getClassObject(CLSID_varkel1, IID_IClassFactory, factory.ReceiveVoid())) ||
        FAILED(factory->CreateInstance(nullptr, IID__varkel1, control.page.ReceiveVoid())) ||
        FAILED(control.page->QueryInterface(IID_IDispatch, control.dispatch.ReceiveVoid()))) {
        Fail("creating the control");
        return control;
    }
    OLECHAR name[] = L"GetAllArgumentsSafeArray";
    LPOLESTR names[] = {name};
    if (FAILED(control.dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT,
                                               &control.generate))) {
        Fail("GetIDsOfNames");
    }
    return control;
}

// A host's call: a new list with its one blank row, passed by reference through IDispatch.
SAFEARRAY* GenerateThroughDispatch(const Control& control) {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {1, 0}};
    SAFEARRAY* list = SafeArrayCreate(VT_BSTR, 2, bounds);
    VARIANT argument;
    V_VT(&argument) = VT_BYREF | VT_ARRAY | VT_BSTR;
    V_ARRAYREF(&argument) = &list;
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    if (FAILED(control.dispatch->Invoke(control.generate, IID_NULL, LOCALE_USER_DEFAULT,
                                        DISPATCH_METHOD, &parameters, &result, nullptr, nullptr)) ||
        V_VT(&result) != VT_I4 || V_I4(&result) != 1) {
        Fail("generation through IDispatch");
    }
    return list;
}

std::size_t RowsOf(SAFEARRAY* list) {
    return list != nullptr && SafeArrayGetDim(list) == 2 ? list->rgsabound[0].cElements : 0;
}

// A SAFEARRAY of two BSTRs per row, as every solution hands it to the host: allocated once at
// its size and filled through one pointer to its data.
template <class Entry> SAFEARRAY* BstrTable(std::size_t rows, Entry&& entry) {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {static_cast<ULONG>(rows), 0}};
    SAFEARRAY* list = SafeArrayCreate(VT_BSTR, 2, bounds);
    BSTR* cells = nullptr;
    if (list == nullptr || FAILED(SafeArrayAccessData(list, reinterpret_cast<void**>(&cells)))) {
        Fail("SAFEARRAY");
        return list;
    }
    for (std::size_t row = 0; row < rows; ++row) {
        entry(row, cells + 2 * row);
    }
    SafeArrayUnaccessData(list);
    return list;
}

BSTR Bstr(const wchar_t* text, std::size_t length) {
    return SysAllocStringLen(text, static_cast<UINT>(length));
}

struct TextFigures {
    double generate = 0;
    double peer = 0;
    double floor = 0;
    double generateOverPeer = 0;
    double generateOverFloor = 0;
    // The pieces, each timed on its own.
    double vtableCall = 0;
    double emptyCall = 0;
    double fieldCopy = 0;
    double split = 0;
    double growth = 0;
    double writes = 0;
    double commandLineToArgv = 0;
    std::size_t characters = 0;
    std::size_t rows = 0;
    int words = 0;
};

// The field's text as LoadDefaults builds it from the arguments it does not know: each
// switch with its value, followed by a blank. Switches are taken from the generated free text
// as long as the field stays within AdditionalLength.
struct LoadedText {
    std::wstring text;
    win32::ScopedSafeArray table; // switch, value, marker 0 (not the page's own)
};

LoadedText LoadableText() {
    testing::FakePlatform fake;
    const Text source = AdditionalText(AdditionalLength + 200);
    const auto split = ParseCommmandLineArguments(fake.ports, source, false);
    LoadedText loaded;
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    for (const ArgumentRow& row : split.Rows) {
        std::wstring name(row.Name.begin(), row.Name.end());
        std::wstring value(row.Value.begin(), row.Value.end());
        const std::wstring entry = name + (value.empty() ? L"" : L"=" + value) + L" ";
        if (name.empty() || loaded.text.size() + entry.size() > AdditionalLength) {
            continue;
        }
        loaded.text += entry;
        rows.emplace_back(std::move(name), std::move(value));
    }
    SAFEARRAYBOUND bounds[2] = {{3, 0}, {static_cast<ULONG>(rows.size()), 0}};
    loaded.table.Reset(SafeArrayCreate(VT_VARIANT, 2, bounds));
    VARIANT* cells = nullptr;
    SafeArrayAccessData(loaded.table.Get(), reinterpret_cast<void**>(&cells));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        VARIANT* cell = cells + 3 * row;
        V_VT(&cell[0]) = VT_BSTR;
        V_BSTR(&cell[0]) = Bstr(rows[row].first.data(), rows[row].first.size());
        V_VT(&cell[1]) = VT_BSTR;
        V_BSTR(&cell[1]) = Bstr(rows[row].second.data(), rows[row].second.size());
        V_VT(&cell[2]) = VT_I4;
        V_I4(&cell[2]) = 0;
    }
    SafeArrayUnaccessData(loaded.table.Get());
    return loaded;
}

TextFigures MeasureText(HMODULE library) {
    TextFigures figures;
    const BoxGuard guard;
    LoadedText loaded = LoadableText();
    const std::wstring& wide = loaded.text;
    figures.characters = wide.size();

    const Control control = CreateControl(library);
    const Control emptyControl = CreateControl(library);
    if (!control.dispatch || !emptyControl.dispatch) {
        return figures;
    }
    win32::ScopedBstr path(u"C:\\Interfaces\\D3");
    LONG loadedResult = 0;
    SAFEARRAY* table = loaded.table.Get();
    if (FAILED(control.page->LoadDefaults(&table, path.InOut(), &loadedResult)) ||
        loadedResult != 1) {
        Fail("LoadDefaults");
        return figures;
    }

    // The generated list once, for its size and for the floor's names and values.
    std::vector<std::wstring> entries;
    {
        win32::ScopedSafeArray list;
        list.Reset(GenerateThroughDispatch(control));
        figures.rows = RowsOf(list.Get());
        BSTR* cells = nullptr;
        SafeArrayAccessData(list.Get(), reinterpret_cast<void**>(&cells));
        for (std::size_t entry = 0; entry < 2 * figures.rows; ++entry) {
            entries.emplace_back(cells[entry], SysStringLen(cells[entry]));
        }
        SafeArrayUnaccessData(list.Get());
    }

    Comparison comparison;
    SAFEARRAY* list = nullptr;
    const auto destroyList = [&] {
        SafeArrayDestroy(list);
        list = nullptr;
    };
    const auto checkedDestroy = [&] {
        if (RowsOf(list) != figures.rows) {
            Fail("the list's rows");
        }
        destroyList();
    };

    // What the host sees: the control's IDispatch filling a SAFEARRAY of BSTRs.
    const int generate = comparison.Add(Work(
        Nothing, [&] { list = GenerateThroughDispatch(control); }, checkedDestroy));

    // The fair peer: the platform's splitter on the same text, each word cut at its first "="
    // into a name and a value, into the same SAFEARRAY.
    const int peer = comparison.Add(Work(
        Nothing,
        [&] {
            int count = 0;
            LPWSTR* words = CommandLineToArgvW(wide.c_str(), &count);
            if (words == nullptr) {
                Fail("CommandLineToArgvW");
                return;
            }
            figures.words = count;
            list = BstrTable(static_cast<std::size_t>(count), [&](std::size_t row, BSTR* cells) {
                const wchar_t* word = words[row];
                const wchar_t* equals = std::wcschr(word, L'=');
                if (equals == nullptr) {
                    cells[0] = Bstr(word, std::wcslen(word));
                    cells[1] = Bstr(L"", 0);
                } else {
                    cells[0] = Bstr(word, static_cast<std::size_t>(equals - word));
                    cells[1] = Bstr(equals + 1, std::wcslen(equals + 1));
                }
            });
            LocalFree(words);
        },
        checkedDestroy));

    // The floor: the same SAFEARRAY from names and values split beforehand. Every solution
    // allocates these BSTRs.
    const int floor = comparison.Add(Work(
        Nothing,
        [&] {
            list = BstrTable(figures.rows, [&](std::size_t row, BSTR* cells) {
                const std::wstring& name = entries[2 * row];
                const std::wstring& value = entries[2 * row + 1];
                cells[0] = Bstr(name.data(), name.size());
                cells[1] = Bstr(value.data(), value.size());
            });
        },
        checkedDestroy));

    // The pieces of generation, each on its own.
    const int vtableCall = comparison.Add(Work(
        Nothing,
        [&] {
            SAFEARRAYBOUND bounds[2] = {{2, 0}, {1, 0}};
            list = SafeArrayCreate(VT_BSTR, 2, bounds);
            LONG result = 0;
            if (FAILED(control.page->GetAllArgumentsSafeArray(&list, &result)) || result != 1) {
                Fail("generation through the vtable");
            }
        },
        checkedDestroy));
    const int emptyCall = comparison.Add(Work(
        Nothing, [&] { list = GenerateThroughDispatch(emptyControl); }, destroyList));
    const Text text(wide.begin(), wide.end());
    const int fieldCopy = comparison.Add(Work([&] {
        const Text copy = text;
        if (copy.size() != text.size()) {
            Fail("copy");
        }
    }));
    testing::FakePlatform fake;
    // Into a table kept between rounds, as the page keeps its own.
    ParsedArguments rows;
    const int split = comparison.Add(Work([&] {
        ParseCommmandLineArguments(fake.ports, text, false, rows);
        if (static_cast<std::size_t>(rows.LastRow()) != figures.rows) {
            Fail("split");
        }
    }));
    const int growth = comparison.Add(Work(
        Nothing,
        [&] {
            SAFEARRAYBOUND bounds[2] = {{2, 0}, {1, 0}};
            list = SafeArrayCreate(VT_BSTR, 2, bounds);
            win32::SafeArrayArgumentList(list).GrowRows(static_cast<std::int32_t>(figures.rows) -
                                                        1);
        },
        checkedDestroy));
    const auto splitRows = ParseCommmandLineArguments(fake.ports, text, false);
    const auto switches = std::span<const ArgumentRow>(splitRows.Rows).subspan(1);
    const int writes = comparison.Add(Work(
        [&] {
            SAFEARRAYBOUND bounds[2] = {{2, 0}, {static_cast<ULONG>(figures.rows), 0}};
            list = SafeArrayCreate(VT_BSTR, 2, bounds);
        },
        [&] {
            std::size_t written = 0;
            win32::SafeArrayArgumentList(list).SetRows(0, switches, written);
        },
        checkedDestroy));
    const int commandLineToArgv = comparison.Add(Work([&] {
        int count = 0;
        LocalFree(CommandLineToArgvW(wide.c_str(), &count));
    }));

    comparison.Run();
    figures.generate = comparison.Seconds(generate);
    figures.peer = comparison.Seconds(peer);
    figures.floor = comparison.Seconds(floor);
    figures.generateOverPeer = comparison.Ratio(generate, peer);
    figures.generateOverFloor = comparison.Ratio(generate, floor);
    figures.vtableCall = comparison.Seconds(vtableCall);
    figures.emptyCall = comparison.Seconds(emptyCall);
    figures.fieldCopy = comparison.Seconds(fieldCopy);
    figures.split = comparison.Seconds(split);
    figures.growth = comparison.Seconds(growth);
    figures.writes = comparison.Seconds(writes);
    figures.commandLineToArgv = comparison.Seconds(commandLineToArgv);
    if (static_cast<std::size_t>(figures.words) != figures.rows) {
        Fail("as many words as rows");
    }
    return figures;
}

// ---------------------------------------------------------------------------------------------
// The page on screen against the same windows created raw.

struct WindowFigures {
    double page = 0;     // page object, start-up and its view shown in place
    double pageView = 0; // the view alone, on a page created beforehand
    double rawWindows = 0;
    double pageOverRaw = 0;
    double viewOverRaw = 0;
    std::size_t controls = 0;
};

WindowFigures MeasureWindows() {
    WindowFigures figures;
    const SIZE extent = win32::PageWindow::PageSize(96);
    const RECT area{0, 0, extent.cx, extent.cy};
    // The container's window, as a host's frame holds the control.
    HWND container = CreateWindowExW(0, testing::TestHostClass(), L"varkel timing",
                                     WS_POPUP | WS_CLIPCHILDREN, 0, 0, extent.cx, extent.cy,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (container == nullptr) {
        Fail("container window");
        return figures;
    }
    ShowWindow(container, SW_SHOWNORMAL);
    Comparison comparison;

    testing::FakePlatform fake;
    std::unique_ptr<Varkel1Page> page;
    std::unique_ptr<win32::PageWindow> view;
    const auto startPage = [&] {
        CurrentThreadState() = ThreadState{};
        page = std::make_unique<Varkel1Page>(fake.ports);
        page->UserControl_Initialize();
    };
    const auto showView = [&] {
        view = win32::PageWindow::Create(container, area, *page, win32::PageWindowOptions{96});
        ShowWindow(view->Handle(), SW_SHOW);
    };
    const auto destroyPage = [&] {
        view.reset();
        page.reset();
    };
    const int pageWork = comparison.Add(Work(
        Nothing,
        [&] {
            startPage();
            showView();
        },
        destroyPage));
    const int viewWork = comparison.Add(Work(startPage, showView, destroyPage));

    // The same child windows (classes, styles, places and captions of the layout) in a plain
    // child window, with nothing bound to them.
    const auto layout = PageLayout();
    figures.controls = layout.size();
    const win32::Resolution resolution{96, 96};
    HWND raw = nullptr;
    const int rawWork = comparison.Add(Work(
        Nothing,
        [&] {
            raw =
                CreateWindowExW(WS_EX_CONTROLPARENT, testing::TestHostClass(), L"",
                                WS_CHILD | WS_CLIPCHILDREN, area.left, area.top, extent.cx,
                                extent.cy, container, nullptr, GetModuleHandleW(nullptr), nullptr);
            int id = 1;
            for (const LayoutEntry& entry : layout) {
                if (win32::CreateChildWindow(entry, raw, id++,
                                             win32::PageArea(layout, entry, resolution),
                                             GetModuleHandleW(nullptr)) == nullptr) {
                    Fail("raw child window");
                }
            }
            ShowWindow(raw, SW_SHOW);
        },
        [&] { DestroyWindow(raw); }));

    comparison.Run();
    figures.page = comparison.Seconds(pageWork);
    figures.pageView = comparison.Seconds(viewWork);
    figures.rawWindows = comparison.Seconds(rawWork);
    figures.pageOverRaw = comparison.Ratio(pageWork, rawWork);
    figures.viewOverRaw = comparison.Ratio(viewWork, rawWork);
    DestroyWindow(container);
    return figures;
}

// ---------------------------------------------------------------------------------------------

std::wstring DefaultLibraryPath() {
    // BUILD\bench\win32\varkel_win32_timing.exe -> BUILD\src\win32\varkel.dll
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring build = path;
    for (int level = 0; level < 3; ++level) {
        build = build.substr(0, build.find_last_of(L'\\'));
    }
    return build + L"\\src\\win32\\varkel.dll";
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

struct Figure {
    const char* what;
    double measured;
    double limit;
};

void Print(const Figure& figure) {
    const bool met = figure.measured <= figure.limit;
    if (figure.limit <= 0) {
        std::printf("%-58s %9.3f %9s\n", figure.what, figure.measured, "-");
        return;
    }
    std::printf("%-58s %9.3f <= %6.1f  %s\n", figure.what, figure.measured, figure.limit,
                met ? "met" : "MISSED");
    failed = failed || !met;
}

} // namespace
} // namespace varkel::bench

int main(int argc, char** argv) {
    using namespace varkel::bench;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);

    std::wstring library = DefaultLibraryPath();
    if (argc > 1) {
        const std::string given = argv[1];
        library.assign(given.begin(), given.end());
    }
    const HMODULE module = LoadLibraryW(library.c_str());
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load %ls\n", library.c_str());
        return 1;
    }

    const TextFigures text = MeasureText(module);
    const WindowFigures windows = MeasureWindows();
    const long long size = FileSize(library);
    if (size < 0) {
        std::fprintf(stderr, "cannot read the size of %ls\n", library.c_str());
        failed = true;
    }

    std::printf("%-58s %12s\n", "time per operation (median of wall-clock samples)", "us");
    const auto micro = [](double seconds) { return seconds * 1e6; };
    const auto line = [&](const char* what, double seconds) {
        std::printf("%-58s %12.1f\n", what, micro(seconds));
    };
    line("generation through IDispatch into a SAFEARRAY of BSTRs", text.generate);
    line("CommandLineToArgvW + the same SAFEARRAY (fair peer)", text.peer);
    line("the same SAFEARRAY from names and values split (floor)", text.floor);
    line("  the same call through the vtable", text.vtableCall);
    line("  the call with an empty field", text.emptyCall);
    line("  a copy of the field's text", text.fieldCopy);
    line("  the split", text.split);
    line("  the list grown from one row", text.growth);
    line("  the names and values written into the grown list", text.writes);
    line("  CommandLineToArgvW alone", text.commandLineToArgv);
    line("page created, started and shown in place", windows.page);
    line("page's view alone", windows.pageView);
    line("the same child windows created raw", windows.rawWindows);
    std::printf("(%zu characters, %zu rows generated, %d words from CommandLineToArgvW, "
                "%zu child windows)\n\n",
                text.characters, text.rows, text.words, windows.controls);

    std::printf("%-58s %9s %9s\n", "ratio (median of the rounds' ratios)", "measured", "limit");
    Print({"generation / fair peer", text.generateOverPeer, 0.9});
    Print({"generation / floor", text.generateOverFloor, 1.2});
    Print({"page created and shown in place / raw child windows", windows.pageOverRaw, 1.5});
    Print({"page's view alone / raw child windows", windows.viewOverRaw, 0});
    Print({"varkel.dll size / 1 MiB", static_cast<double>(size) / (1024.0 * 1024.0), 1});
    std::printf("(varkel.dll: %lld bytes)\n", size);
    return failed ? 1 : 0;
}
