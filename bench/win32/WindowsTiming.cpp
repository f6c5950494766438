// The Windows figures of the page, each a ratio of two times measured in this one run:
//
//  - splitting and generating a 32,000-character additional text against a plain copy of the
//    same text (at most 10 times) and against the platform's CommandLineToArgvW on it (faster);
//  - creating the page and showing it in place against creating the same child windows raw
//    (at most 1.5 times);
//  - the size of varkel.dll with the runtime linked in (at most 1 MiB).
//
// Times are wall-clock (QueryPerformanceCounter), since creating windows is work done by the
// window system as much as by this process. The pieces compared are sampled in turns, round
// after round, and each ratio is the median of the rounds' ratios, so that other load on the
// machine weighs on both sides alike. Prints a table and exits with 1 when a figure misses its
// limit. Usage: varkel_win32_timing [path of varkel.dll]

#include "../Workloads.h"

#include "common/ThreadState.h"
#include "common/Tokenizer.h"
#include "page/Layout.h"
#include "support/Fakes.h"
#include "support/MemoryTables.h"
#include "win32/adapters/SafeArrayTables.h"
#include "win32/support/PlainWindowClass.h"
#include "win32/view/ChildWindows.h"
#include "win32/view/PageWindow.h"
#include "win32/view/Scaling.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
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
// Splitting and generating the additional text.

struct TextFigures {
    double plainCopy = 0;
    double commandLineToArgv = 0;
    double generate = 0;
    double generateIntoSafeArray = 0;
    double tokenizer = 0;
    double separateCopies = 0;
    double generateOverCopy = 0;
    double generateOverCommandLineToArgv = 0;
    double safeArrayOverCommandLineToArgv = 0;
    double tokenizerOverCommandLineToArgv = 0;
    std::size_t rows = 0;
    int arguments = 0;
};

TextFigures MeasureText() {
    TextFigures figures;
    const Text text = AdditionalText(AdditionalLength);
    const std::wstring wide(text.begin(), text.end());
    Comparison comparison;

    // The least any single pass over the text can do: a copy one code unit at a time.
    const int plainCopy = comparison.Add(Work([&] {
        Text copy;
        copy.reserve(text.size());
        for (const char16_t unit : text) {
            copy.push_back(unit);
        }
        if (copy.size() != text.size()) {
            Fail("copy");
        }
    }));

    // The platform's own splitting of a command line into words.
    const int commandLineToArgv = comparison.Add(Work([&] {
        int count = 0;
        LPWSTR* arguments = CommandLineToArgvW(wide.c_str(), &count);
        if (arguments == nullptr) {
            Fail("CommandLineToArgvW");
            return;
        }
        figures.arguments = count;
        LocalFree(arguments);
    }));

    // GetAllArgumentsSafeArray with nothing but the text in txtAdditional: the tokenizer and
    // the outgoing list, into the one-row list a host hands in.
    StartedPage page;
    page->txtAdditional.SetText(text);
    const int generate = comparison.Add(Work([&] {
        auto list = MemoryArgumentList::WithRows(1);
        if (page->GetAllArgumentsSafeArray(list) != 1) {
            Fail("generation");
        }
        figures.rows = static_cast<std::size_t>(list.UpperBound(2) + 1);
    }));

    // The tokenizer alone, the part that does what CommandLineToArgvW does.
    const int tokenizer = comparison.Add(Work([&] {
        const auto table = ParseCommmandLineArguments(page.Fake().ports, text, false);
        if (static_cast<std::size_t>(table.LastRow()) < figures.rows) {
            Fail("tokenizer");
        }
    }));

    // What a list holding every name and value on its own cannot do without: copying each of
    // them from the split table, one copy per text, into a buffer allocated beforehand.
    const auto split = ParseCommmandLineArguments(page.Fake().ports, text, false);
    std::vector<char16_t> copies(text.size() * 2);
    const int separateCopies = comparison.Add(Work([&] {
        char16_t* next = copies.data();
        for (const auto& row : split.Rows) {
            std::memcpy(next, row.Name.data(), row.Name.size() * sizeof(char16_t));
            next += row.Name.size();
            std::memcpy(next, row.Value.data(), row.Value.size() * sizeof(char16_t));
            next += row.Value.size();
        }
        if (next == copies.data()) {
            Fail("separate copies");
        }
    }));

    // The same into a real SAFEARRAY of BSTRs.
    SAFEARRAY* array = nullptr;
    const int generateIntoSafeArray = comparison.Add(Work(
        [&] {
            SAFEARRAYBOUND bounds[2] = {{2, 0}, {1, 0}};
            array = SafeArrayCreate(VT_BSTR, 2, bounds);
        },
        [&] {
            win32::SafeArrayArgumentList list(array);
            if (page->GetAllArgumentsSafeArray(list) != 1 ||
                static_cast<std::size_t>(list.UpperBound(2) + 1) != figures.rows) {
                Fail("generation into a SAFEARRAY");
            }
        },
        [&] { SafeArrayDestroy(array); }));

    comparison.Run();
    figures.plainCopy = comparison.Seconds(plainCopy);
    figures.commandLineToArgv = comparison.Seconds(commandLineToArgv);
    figures.generate = comparison.Seconds(generate);
    figures.generateIntoSafeArray = comparison.Seconds(generateIntoSafeArray);
    figures.tokenizer = comparison.Seconds(tokenizer);
    figures.separateCopies = comparison.Seconds(separateCopies);
    figures.generateOverCopy = comparison.Ratio(generate, plainCopy);
    figures.generateOverCommandLineToArgv = comparison.Ratio(generate, commandLineToArgv);
    figures.safeArrayOverCommandLineToArgv =
        comparison.Ratio(generateIntoSafeArray, commandLineToArgv);
    figures.tokenizerOverCommandLineToArgv = comparison.Ratio(tokenizer, commandLineToArgv);
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
    bool below; // met when strictly below the limit rather than at most the limit
};

void Print(const Figure& figure) {
    const bool met =
        figure.below ? figure.measured < figure.limit : figure.measured <= figure.limit;
    if (figure.limit <= 0) {
        std::printf("%-58s %9.3f %9s\n", figure.what, figure.measured, "-");
        return;
    }
    std::printf("%-58s %9.3f %6s%.1f  %s\n", figure.what, figure.measured,
                figure.below ? "< " : "<= ", figure.limit, met ? "met" : "MISSED");
    failed = failed || !met;
}

} // namespace
} // namespace varkel::bench

int main(int argc, char** argv) {
    using namespace varkel::bench;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    std::wstring library = DefaultLibraryPath();
    if (argc > 1) {
        const std::string given = argv[1];
        library.assign(given.begin(), given.end());
    }

    const TextFigures text = MeasureText();
    const WindowFigures windows = MeasureWindows();
    const long long size = FileSize(library);
    if (size < 0) {
        std::fprintf(stderr, "cannot read the size of %ls\n", library.c_str());
        failed = true;
    }

    std::printf("%-58s %12s\n", "time per operation (median of wall-clock samples)", "us");
    const auto micro = [](double seconds) { return seconds * 1e6; };
    std::printf("%-58s %12.1f\n", "plain copy of 32,000 characters", micro(text.plainCopy));
    std::printf("%-58s %12.1f\n", "CommandLineToArgvW on the same text",
                micro(text.commandLineToArgv));
    std::printf("%-58s %12.1f\n", "tokenizer + generation into the in-memory list",
                micro(text.generate));
    std::printf("%-58s %12.1f\n", "tokenizer alone", micro(text.tokenizer));
    std::printf("%-58s %12.1f\n", "the names and values copied one by one",
                micro(text.separateCopies));
    std::printf("%-58s %12.1f\n", "tokenizer + generation into a SAFEARRAY",
                micro(text.generateIntoSafeArray));
    std::printf("%-58s %12.1f\n", "page created, started and shown in place", micro(windows.page));
    std::printf("%-58s %12.1f\n", "page's view alone", micro(windows.pageView));
    std::printf("%-58s %12.1f\n", "the same child windows created raw", micro(windows.rawWindows));
    std::printf("(%zu rows generated, %d words from CommandLineToArgvW, %zu child windows)\n\n",
                text.rows, text.arguments, windows.controls);

    std::printf("%-58s %9s %9s\n", "ratio (median of the rounds' ratios)", "measured", "limit");
    Print({"generation / plain copy", text.generate / text.plainCopy, 10, false});
    Print({"generation / CommandLineToArgvW", text.generate / text.commandLineToArgv, 1, true});
    Print({"tokenizer alone / CommandLineToArgvW", text.tokenizerOverCommandLineToArgv, 0, false});
    Print({"generation into a SAFEARRAY / CommandLineToArgvW",
           text.generateIntoSafeArray / text.commandLineToArgv, 0, false});
    Print({"page created and shown in place / raw child windows", windows.page / windows.rawWindows,
           1.5, false});
    Print(
        {"page's view alone / raw child windows", windows.pageView / windows.rawWindows, 0, false});
    Print({"varkel.dll size / 1 MiB", static_cast<double>(size) / (1024.0 * 1024.0), 1, false});
    std::printf("(varkel.dll: %lld bytes)\n", size);
    return failed ? 1 : 0;
}
