// Screenshots of the page as a user sees it, at 96 and 144 dpi, written as PNG files under the
// test's working folder (screenshots/page-96dpi.png, screenshots/page-144dpi.png), and read
// back: a page that paints the wrong colours, or clips a caption, fails here.
#include "../../host/win32/Screenshot.h"
#include "page/Layout.h"
#include "support/MemoryTables.h"
#include "win32/support/PageWindowFixture.h"

namespace varkel::testing {
namespace {

class PageScreenshot : public PageWindowFixture {
protected:
    void CheckAndSave(const char* fileName) {
        auto table = MemoryInputTable::FromRows({
            {CellValue::FromText(u"/ITDELIM"), CellValue::FromText(u";"), {}},
            {CellValue::FromText(u"/DB"), CellValue::FromText(u"5"), {}},
            {CellValue::FromText(u"/PS"), CellValue::FromText(u"1"), {}},
        });
        Text path = u"C:\\Interfaces\\D3";
        ASSERT_EQ(page->LoadDefaults(table, path), 1);
        hook.Expect(IDOK);
        Click("chkGLF");
        RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle();
        CreateDirectoryW(L"screenshots", nullptr);
        varkel::host::win32::SaveClientAreaPicture(view->Handle(),
                                                   std::string("screenshots/") + fileName);
        HDC dc = GetDC(view->Handle());
        const auto inside = [&](const char* field) {
            RECT area{};
            GetWindowRect(Window(field), &area);
            MapWindowPoints(nullptr, view->Handle(), reinterpret_cast<POINT*>(&area), 2);
            return GetPixel(dc, area.right - 5, (area.top + area.bottom) / 2);
        };
        EXPECT_EQ(inside("txtGLFerr"), AttentionColor);
        EXPECT_EQ(inside("txtDelimiter"), GetSysColor(COLOR_WINDOW));
        EXPECT_EQ(inside("txtOutput"), GetSysColor(COLOR_BTNFACE));
        // Every frame's lower edge, shadow over light, although the frames overlap.
        for (const char* frame : {"fraGeneral", "fraDebug", "fraAdditionalParameters"}) {
            RECT area{};
            GetWindowRect(Window(frame), &area);
            MapWindowPoints(nullptr, view->Handle(), reinterpret_cast<POINT*>(&area), 2);
            const LONG middle = (area.left + area.right) / 2;
            EXPECT_EQ(GetPixel(dc, middle, area.bottom - 2), GetSysColor(COLOR_BTNSHADOW)) << frame;
            EXPECT_EQ(GetPixel(dc, middle, area.bottom - 1), GetSysColor(COLOR_BTNHIGHLIGHT))
                << frame;
        }
        // No caption is wider than its control, a check box's box included.
        for (const auto& entry : PageLayout()) {
            HWND window = Window(entry.name);
            const std::wstring caption = WindowText(window);
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
            SIZE text{};
            GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
            RECT client{};
            GetClientRect(window, &client);
            const int box = GetSystemMetrics(SM_CXMENUCHECK) + 4;
            if (entry.kind == ControlKind::CheckBox || entry.kind == ControlKind::Label) {
                EXPECT_LE(text.cx, client.right - (entry.kind == ControlKind::CheckBox ? box : 0))
                    << entry.name;
            }
        }
        ReleaseDC(view->Handle(), dc);
    }
};

TEST_F(PageScreenshot, At96DpiPaintsTheValidityColoursAndFitsEveryCaption) {
    CheckAndSave("page-96dpi.png");
}

class PageScreenshotAt144Dpi : public PageScreenshot {
protected:
    int Dpi() const override { return 144; }
};

TEST_F(PageScreenshotAt144Dpi, PaintsTheValidityColoursAndFitsEveryCaption) {
    CheckAndSave("page-144dpi.png");
}

} // namespace
} // namespace varkel::testing
