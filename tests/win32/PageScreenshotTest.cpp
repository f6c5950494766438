// Screenshots of the page as a user sees it, at 96 and at 144 dpi, written as PNG files under
// the test's working folder (screenshots/page-96dpi.png, screenshots/page-144dpi.png). The
// tests also read the captured pixels back, so that a page that paints the wrong colours, or
// nothing at all, fails here rather than only looking wrong.

#include "platform/MemoryTables.h"
#include "support/PngWriter.h"
#include "win32/support/PageWindowFixture.h"

#include <string>
#include <vector>

namespace varkel::testing {
namespace {

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows from the top

    COLORREF At(POINT point) const {
        const std::size_t offset = (static_cast<std::size_t>(point.y) * width + point.x) * 3;
        return RGB(rgb[offset], rgb[offset + 1], rgb[offset + 2]);
    }
};

Capture CaptureWindow(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Settle();
    RECT client{};
    GetClientRect(window, &client);
    Capture capture;
    capture.width = client.right;
    capture.height = client.bottom;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    capture.rgb.reserve(static_cast<std::size_t>(capture.width) * capture.height * 3);
    for (int index = 0; index < capture.width * capture.height; ++index) {
        const std::uint8_t* pixel = pixels + static_cast<std::ptrdiff_t>(index) * 4; // B, G, R, x
        capture.rgb.insert(capture.rgb.end(), {pixel[2], pixel[1], pixel[0]});
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return capture;
}

// Inside a field, right of any text and clear of its border.
POINT InsideField(HWND page, HWND field) {
    RECT area{};
    GetWindowRect(field, &area);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&area), 2);
    return POINT{area.right - 5, (area.top + area.bottom) / 2};
}

class PageScreenshot : public PageWindowFixture {
protected:
    // A page as a user meets it: a loaded configuration, then /KS switched on by a click.
    void ShowTypicalPage() {
        auto table = MemoryInputTable::FromRows({
            {CellValue::FromText(u"/ITDELIM"), CellValue::FromText(u";"), {}},
            {CellValue::FromText(u"/CH"), {}, {}},
            {CellValue::FromText(u"/DB"), CellValue::FromText(u"5"), {}},
            {CellValue::FromText(u"/PS"), CellValue::FromText(u"1"), {}},
        });
        Text path = u"C:\\Interfaces\\D3";
        ASSERT_EQ(page->LoadDefaults(table, path), 1);
        hook.Expect(IDOK);
        Click("chkGLF");
        SetFocus(Window("txtAdditional"));
    }

    void CheckAndSave(const std::string& fileName) {
        const Capture capture = CaptureWindow(view->Handle());
        const SIZE extent = win32::PageWindow::PageSize(Dpi());
        ASSERT_EQ(capture.width, extent.cx);
        ASSERT_EQ(capture.height, extent.cy);

        CreateDirectoryW(L"screenshots", nullptr);
        ASSERT_TRUE(WritePng("screenshots/" + fileName, static_cast<std::uint32_t>(capture.width),
                             static_cast<std::uint32_t>(capture.height), capture.rgb));

        HWND pageWindow = view->Handle();
        EXPECT_EQ(capture.At(InsideField(pageWindow, Window("txtGLFerr"))), AttentionColor);
        EXPECT_EQ(capture.At(InsideField(pageWindow, Window("txtDelimiter"))),
                  GetSysColor(COLOR_WINDOW));
        EXPECT_EQ(capture.At(InsideField(pageWindow, Window("txtOutput"))),
                  GetSysColor(COLOR_BTNFACE));
        // The page's own background, inside the general frame left of its check boxes.
        EXPECT_EQ(capture.At(POINT{Dpi() / 4, Dpi() / 2}), GetSysColor(COLOR_BTNFACE));
        // Every frame's lower edge, shadow over light, although the frames overlap.
        for (const char* frame : {"fraGeneral", "fraDebug", "fraAdditionalParameters"}) {
            RECT area{};
            GetWindowRect(Window(frame), &area);
            MapWindowPoints(nullptr, pageWindow, reinterpret_cast<POINT*>(&area), 2);
            const LONG middle = (area.left + area.right) / 2;
            EXPECT_EQ(capture.At(POINT{middle, area.bottom - 2}), GetSysColor(COLOR_BTNSHADOW))
                << frame;
            EXPECT_EQ(capture.At(POINT{middle, area.bottom - 1}), GetSysColor(COLOR_BTNHIGHLIGHT))
                << frame;
        }
    }

    // Captions that the system's font would draw wider than their control: a check box needs
    // room for its box as well.
    std::vector<std::string> ClippedCaptions() {
        std::vector<std::string> clipped;
        HDC dc = GetDC(view->Handle());
        const int boxRoom = GetSystemMetrics(SM_CXMENUCHECK) + 4;
        for (const auto& entry : PageLayout()) {
            if (entry.kind != ControlKind::CheckBox && entry.kind != ControlKind::Label) {
                continue;
            }
            HWND window = Window(entry.name);
            const std::wstring caption = WindowText(window);
            HGDIOBJ previous =
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
            SIZE text{};
            GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
            SelectObject(dc, previous);
            RECT client{};
            GetClientRect(window, &client);
            const int room = client.right - (entry.kind == ControlKind::CheckBox ? boxRoom : 0);
            if (text.cx > room || text.cy > client.bottom) {
                clipped.push_back(std::string(entry.name) + " needs " + std::to_string(text.cx) +
                                  "x" + std::to_string(text.cy) + ", has " + std::to_string(room) +
                                  "x" + std::to_string(client.bottom));
            }
        }
        ReleaseDC(view->Handle(), dc);
        return clipped;
    }
};

class PageScreenshotAt96Dpi : public PageScreenshot {
protected:
    int Dpi() const override { return 96; }
};

class PageScreenshotAt144Dpi : public PageScreenshot {
protected:
    int Dpi() const override { return 144; }
};

TEST_F(PageScreenshotAt96Dpi, PaintsTheValidityColoursAndFitsEveryCaption) {
    ShowTypicalPage();
    CheckAndSave("page-96dpi.png");
    EXPECT_EQ(ClippedCaptions(), std::vector<std::string>{});
}

// A view made over a page that is already filled in shows, pixel for pixel, what the view that
// followed the filling in shows: captions, check marks, disabled controls, colours, and a text
// too long for its field scrolled to its end.
TEST_F(PageScreenshotAt96Dpi, ViewMadeOverAFilledInPagePaintsAsTheViewThatFollowedIt) {
    ShowTypicalPage();
    page->txtAdditional.SetText(u"/PS=1 /EXTRA=" + Text(120, u'x') + u" /END");
    page->chkNullStrings.SetValue(CheckBox::Grayed);
    page->chkSequentialDB.SetEnabled(false);
    page->lblDebugLevel.SetEnabled(false);
    SetFocus(host);
    const Capture followed = CaptureWindow(view->Handle());

    view.reset();
    view = win32::PageWindow::Create(host, RECT{0, 0, followed.width, followed.height}, *page,
                                     win32::PageWindowOptions{Dpi()});
    const Capture made = CaptureWindow(view->Handle());
    ASSERT_EQ(made.width, followed.width);
    ASSERT_EQ(made.height, followed.height);
    int differing = 0;
    POINT first{-1, -1};
    for (int y = 0; y < made.height; ++y) {
        for (int x = 0; x < made.width; ++x) {
            if (made.At(POINT{x, y}) != followed.At(POINT{x, y}) && differing++ == 0) {
                first = POINT{x, y};
            }
        }
    }
    EXPECT_EQ(differing, 0) << "first at " << first.x << "," << first.y;
}

TEST_F(PageScreenshotAt144Dpi, PaintsTheValidityColoursAndFitsEveryCaption) {
    ShowTypicalPage();
    CheckAndSave("page-144dpi.png");
    EXPECT_EQ(ClippedCaptions(), std::vector<std::string>{});
}

} // namespace
} // namespace varkel::testing
