#include "win32/view/ToolTips.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace varkel::win32 {

namespace {
// Wide enough for about sixty characters of the page's font at 96 dpi: texts 112 and 137
// break into three lines instead of one line across the screen.
constexpr int TipWidthAt96Dpi = 320;

TTTOOLINFOW ToolOf(HWND owner) {
    TTTOOLINFOW tool{};
    // The size older tooltip controls accept as well; the fields after it are not used.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = owner;
    return tool;
}
} // namespace

ToolTips::ToolTips(HWND owner, HINSTANCE instance, int dpi)
    : owner_(owner),
      window_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr)) {
    SetDpi(dpi);
}

void ToolTips::SetDpi(int dpi) {
    if (window_ != nullptr) {
        SendMessageW(window_, TTM_SETMAXTIPWIDTH, 0, MulDiv(TipWidthAt96Dpi, dpi, 96));
    }
}

ToolTips::~ToolTips() {
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    }
}

void ToolTips::SetForWindow(HWND control, const Text& text) {
    TTTOOLINFOW tool = ToolOf(owner_);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    Set(tool, text);
}

void ToolTips::SetForArea(UINT_PTR id, const RECT& area, const Text& text) {
    TTTOOLINFOW tool = ToolOf(owner_);
    tool.uFlags = TTF_SUBCLASS;
    tool.uId = id;
    tool.rect = area;
    Set(tool, text);
}

void ToolTips::Set(TTTOOLINFOW& tool, const Text& text) {
    if (window_ == nullptr) {
        return;
    }
    const auto found = std::find(tools_.begin(), tools_.end(), tool.uId);
    const bool known = found != tools_.end();
    if (text.empty()) {
        if (known) {
            SendMessageW(window_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            tools_.erase(found);
        }
        return;
    }
    // The control copies the text; the buffer only has to live through the call.
    std::vector<wchar_t> buffer(text.begin(), text.end());
    buffer.push_back(L'\0');
    tool.lpszText = buffer.data();
    if (known) {
        SendMessageW(window_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        if ((tool.uFlags & TTF_IDISHWND) == 0) {
            SendMessageW(window_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    } else if (SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
        tools_.push_back(tool.uId);
    }
}

} // namespace varkel::win32
