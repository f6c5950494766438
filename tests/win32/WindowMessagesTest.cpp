// The control's own window and the page window in it, sent each message their procedures handle
// and the page one it leaves to the system. Every row has a control of its own, made on this thread
// after the last one went and placed in its container, not yet UI-active: each starts anew.
#include "win32/support/InPlaceSite.h"
#include "win32/support/PlainWindowClass.h"
#include "win32/support/WineTest.h"

#include <commctrl.h>

#include <functional>

namespace varkel::testing {
namespace {

struct Placed {
    IOleObject* object;
    InPlaceSite& site;
    HWND control = nullptr, page = nullptr;      // the control's window; the one holding the fields
    HWND Child(const wchar_t* className) const { // the first of the class; of buttons a box
        HWND child = GetWindow(page, GW_CHILD);
        wchar_t name[32] = {};
        while (child && (!GetClassNameW(child, name, 32) || _wcsicmp(name, className) != 0 ||
                         (_wcsicmp(name, WC_BUTTONW) == 0 &&
                          (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_3STATE))) {
            child = GetWindow(child, GW_HWNDNEXT);
        }
        return child;
    }
    HWND ToolTip() const { // the page's, once made
        HWND tip = nullptr;
        while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) &&
               GetWindow(tip, GW_OWNER) != GetAncestor(page, GA_ROOT)) {
        }
        return tip;
    }
};

using WindowMessages = PageComFixture;

TEST_F(WindowMessages, EachHandledMessageHasItsEffectAndOthersReachTheSystem) {
    const HWND parent = CreateWindowExW(0, TestHostClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 800,
                                        600, nullptr, nullptr, nullptr, nullptr);
    const win32::UniqueHdc dc(CreateCompatibleDC(nullptr));
    const win32::UniqueHbitmap bitmap(CreateBitmap(8, 8, 1, 32, nullptr));
    SelectObject(dc.Get(), bitmap.Get());
    const auto hdc = reinterpret_cast<WPARAM>(dc.Get());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const auto painted = [&](const Placed& p, UINT message, LPARAM flags) {
        SetPixel(dc.Get(), 4, 4, RGB(1, 2, 3));
        EXPECT_EQ(SendMessageW(p.page, message, hdc, flags), 1);
        EXPECT_EQ(GetPixel(dc.Get(), 4, 4), face);
    };
    const auto colored = [&](const Placed& p, UINT message, HWND child) { // a brush of the page's
        LOGBRUSH brush{};
        const LRESULT given = SendMessageW(p.page, message, hdc, reinterpret_cast<LPARAM>(child));
        EXPECT_NE(given, DefWindowProcW(p.page, message, hdc, reinterpret_cast<LPARAM>(child)));
        GetObjectW(reinterpret_cast<HGDIOBJ>(given), sizeof brush, &brush);
        EXPECT_EQ(brush.lbColor, face);
    };
    const auto repainted = [](const Placed& p, UINT message) {
        ValidateRect(p.page, nullptr);
        SendMessageW(p.page, message, 0, 0);
        EXPECT_TRUE(GetUpdateRect(p.page, nullptr, FALSE));
    };
    const auto tipsMade = [](const Placed& p, UINT message, LPARAM lParam) {
        EXPECT_EQ(p.ToolTip(), nullptr) << "made when first needed";
        SendMessageW(p.page, message, reinterpret_cast<WPARAM>(p.page), lParam);
        EXPECT_NE(p.ToolTip(), nullptr);
    };
    const auto focused = [&](const Placed& p, HWND to) { // on to the first field
        EXPECT_EQ(SendMessageW(to, WM_SETFOCUS, reinterpret_cast<WPARAM>(parent), 0), 0);
        EXPECT_EQ(GetParent(GetFocus()), p.page);
    };
    const auto clicked = [](const Placed& p, bool byTheBox) { // the page's, or a menu's
        const HWND box = p.Child(WC_BUTTONW);
        const LRESULT before = SendMessageW(box, BM_GETCHECK, 0, 0);
        SendMessageW(p.page, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), BN_CLICKED),
                     byTheBox ? reinterpret_cast<LPARAM>(box) : 0);
        EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0) != before, byTheBox);
    };
    const auto active = "ui active(varkel1) active(varkel1) ";
    const std::pair<const char*, std::function<void(Placed&)>> rows[] = {
        {"control WM_MOUSEACTIVATE",
         [&](Placed& p) {
             EXPECT_EQ(SendMessageW(p.control, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(parent),
                                    MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
                       MA_ACTIVATE);
             EXPECT_EQ(p.site.calls, active);
         }},
        {"control WM_SETFOCUS",
         [&](Placed& p) {
             focused(p, p.control);
             EXPECT_EQ(p.site.calls, active);
         }},
        {"control WM_NCDESTROY: its container's window destroyed under it",
         [](Placed& p) {
             DestroyWindow(GetParent(p.control));
             HWND window = nullptr;
             EXPECT_EQ(win32::ComPtr<IOleObject>(p.object)
                           .As<IOleWindow>(IID_IOleWindow)
                           ->GetWindow(&window),
                       E_FAIL);
         }},
        {"page WM_COMMAND BN_CLICKED", [&](Placed& p) { clicked(p, true); }},
        {"page WM_COMMAND of no control, the system's", [&](Placed& p) { clicked(p, false); }},
        {"page WM_CTLCOLOREDIT",
         [&](Placed& p) { colored(p, WM_CTLCOLOREDIT, p.Child(WC_EDITW)); }},
        {"page WM_CTLCOLORSTATIC",
         [&](Placed& p) { colored(p, WM_CTLCOLORSTATIC, p.Child(WC_STATICW)); }},
        {"page WM_CTLCOLORBTN",
         [&](Placed& p) { colored(p, WM_CTLCOLORBTN, p.Child(WC_BUTTONW)); }},
        {"page WM_CTLCOLORSTATIC of no field of its own, the system's",
         [&](Placed& p) {
             const auto other = reinterpret_cast<LPARAM>(parent);
             EXPECT_EQ(SendMessageW(p.page, WM_CTLCOLORSTATIC, hdc, other),
                       DefWindowProcW(p.page, WM_CTLCOLORSTATIC, hdc, other));
         }},
        {"page WM_ERASEBKGND", [&](Placed& p) { painted(p, WM_ERASEBKGND, 0); }},
        {"page WM_PRINTCLIENT", [&](Placed& p) { painted(p, WM_PRINTCLIENT, PRF_CLIENT); }},
        {"page WM_SYSCOLORCHANGE", [&](Placed& p) { repainted(p, WM_SYSCOLORCHANGE); }},
        {"page WM_SETTINGCHANGE", [&](Placed& p) { repainted(p, WM_SETTINGCHANGE); }},
        {"page WM_SETCURSOR", [&](Placed& p) { tipsMade(p, WM_SETCURSOR, HTCLIENT); }},
        {"page WM_MOUSEMOVE", [&](Placed& p) { tipsMade(p, WM_MOUSEMOVE, MAKELPARAM(5, 5)); }},
        {"page WM_SETFOCUS", [&](Placed& p) { focused(p, p.page); }},
    };
    for (const auto& [name, effect] : rows) {
        SCOPED_TRACE(name);
        const HWND container = CreateWindowExW(0, TestHostClass(), L"", WS_CHILD | WS_VISIBLE, 0, 0,
                                               700, 500, parent, nullptr, nullptr, nullptr);
        RECT position{0, 0, 640, 480};
        InPlaceSite site(container, position);
        {
            const auto object = CreateByProgId().As<IOleObject>(IID_IOleObject);
            ASSERT_EQ(
                object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, container, &position),
                S_OK);
            Placed placed{object.Get(), site};
            object.As<IOleWindow>(IID_IOleWindow)->GetWindow(&placed.control);
            placed.page = GetWindow(placed.control, GW_CHILD);
            SetFocus(parent);
            site.calls.clear();
            effect(placed);
            EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
            object->SetClientSite(nullptr);
        }
        DestroyWindow(container);
        EXPECT_EQ(site.references, 0);
    }
    DestroyWindow(parent);
}

} // namespace
} // namespace varkel::testing
