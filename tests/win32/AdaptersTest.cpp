#include "win32/support/MessageBoxHook.h"
#include "win32/support/WineTest.h"

#include "common/Failure.h"
#include "win32/adapters/MessageBoxes.h"
#include "win32/adapters/ModuleLocation.h"
#include "win32/adapters/StringTable.h"

namespace varkel::testing {
namespace {

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(hook.Installed());
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VarkelAdapterTestFrame";
        RegisterClassExW(&windowClass);
        frame = CreateWindowExW(0, L"VarkelAdapterTestFrame", L"frame", WS_OVERLAPPEDWINDOW, 0, 0,
                                400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, frame,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(child, nullptr);
    }
    void TearDown() override {
        DestroyWindow(frame);
        EXPECT_EQ(hook.unexpected, 0u);
        EXPECT_EQ(hook.Pending(), 0u);
    }

    MessageBoxHook hook;
    HWND frame = nullptr;
    HWND child = nullptr;
};

using RealMessageBoxes = WindowFixture;

TEST_F(RealMessageBoxes, ShowButtonsIconsAndTitlesAndAnswerWhatWasPressed) {
    HWND owner = nullptr;
    win32::Win32MessageBoxes boxes([&] { return owner; });
    struct Case {
        const char* name;
        MessageBoxRequest request;
        int press;
        MessageBoxAnswer answer;
        LPCWSTR icon;
        const wchar_t* title;
        bool yesNo;
    };
    const Case cases[] = {
        {"error",
         {u"line 1\r\nline 2", MessageBoxButtons::Ok, MessageBoxIcon::Critical, u"Page"},
         IDOK,
         MessageBoxAnswer::Ok,
         IDI_HAND,
         L"Page",
         false},
        {"warning without a title",
         {u"warn", MessageBoxButtons::Ok, MessageBoxIcon::Exclamation, {}},
         IDOK,
         MessageBoxAnswer::Ok,
         IDI_EXCLAMATION,
         L"QX Interface for GSE D/3 DBA - NUX Cont",
         false},
        {"question answered no",
         {u"sure?", MessageBoxButtons::YesNo, MessageBoxIcon::None, u"T"},
         IDNO,
         MessageBoxAnswer::No,
         nullptr,
         L"T",
         true},
        {"question answered yes",
         {u"sure?", MessageBoxButtons::YesNo, MessageBoxIcon::None, u"T"},
         IDYES,
         MessageBoxAnswer::Yes,
         nullptr,
         L"T",
         true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        hook.shown.clear();
        hook.Expect(test.press);
        EXPECT_EQ(boxes.Show(test.request), test.answer);
        ASSERT_EQ(hook.shown.size(), 1u);
        const std::wstring text(test.request.Message.begin(), test.request.Message.end());
        EXPECT_EQ(hook.shown[0].text, text);
        EXPECT_EQ(hook.shown[0].title, test.title);
        EXPECT_EQ(hook.shown[0].icon,
                  test.icon != nullptr ? MessageBoxHook::StandardIcon(test.icon) : nullptr);
        EXPECT_EQ(hook.shown[0].yesNo, test.yesNo);
    }
}

TEST_F(RealMessageBoxes, AreOwnedByThePagesTopLevelWindowWhileThereIsOne) {
    HWND owner = child;
    win32::Win32MessageBoxes boxes([&] { return owner; });
    hook.Expect(IDOK);
    boxes.Show({u"owned", MessageBoxButtons::Ok, MessageBoxIcon::None, u"t"});
    hook.Expect(IDOK);
    owner = nullptr;
    boxes.Show({u"free", MessageBoxButtons::Ok, MessageBoxIcon::None, u"t"});
    ASSERT_EQ(hook.shown.size(), 2u);
    EXPECT_EQ(hook.shown[0].owner, frame);
    EXPECT_EQ(hook.shown[1].owner, nullptr);
}

TEST(ComponentStrings, AreReadByNumberFromTheLibrarysStringTable) {
    HMODULE library = LoadLibraryExW(VarkelDllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(library, nullptr);
    win32::Win32StringTable strings(library);
    EXPECT_EQ(strings.Load(101), u"Specify delimiter other than colon (:) in InstrumentTag");
    EXPECT_EQ(strings.Load(137),
              u"This parameter is used for Velmar testing only. Do not enable this setting unless "
              u"specifically instructed to do so by Velmar Technical Support. (/DB=32)");
    for (const int absent : {100, 116, 117, 133, 134, 140}) {
        try {
            strings.Load(absent);
            ADD_FAILURE() << absent << " was found";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Number, 326);
            EXPECT_EQ(failure.Description,
                      u"Resource with identifier '" + DecimalText(absent) + u"' not found");
        }
    }
    FreeLibrary(library);
}

TEST(OwnModule, IsNamedByItsFolderAndBaseName) {
    HMODULE library = LoadLibraryW(VarkelDllPath().c_str());
    ASSERT_NE(library, nullptr);
    win32::Win32ModuleLocation location(library);
    const std::wstring folder = BuildTree() + L"\\src\\win32";
    EXPECT_EQ(location.Folder(), Text(folder.begin(), folder.end()));
    EXPECT_EQ(location.BaseName(), u"varkel");
    FreeLibrary(library);
}

} // namespace
} // namespace varkel::testing
