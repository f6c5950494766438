#include "win32/adapters/Win32.h"

#include "win32/adapters/MessageBoxes.h"

#include "win32/adapters/ComError.h"
#include "win32/adapters/TextConversion.h"

namespace varkel::win32 {

namespace {

UINT Style(const MessageBoxRequest& request, bool owned) {
    UINT style = owned ? MB_APPLMODAL : MB_TASKMODAL;
    style |= request.Buttons == MessageBoxButtons::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK;
    switch (request.Icon) {
    case MessageBoxIcon::Critical:
        style |= MB_ICONHAND;
        break;
    case MessageBoxIcon::Exclamation:
        style |= MB_ICONEXCLAMATION;
        break;
    case MessageBoxIcon::None:
        break;
    }
    return style;
}

} // namespace

MessageBoxAnswer Win32MessageBoxes::ShowModal(const MessageBoxRequest& request) {
    HWND owner = owner_ ? owner_() : nullptr;
    if (owner != nullptr && !IsWindow(owner)) {
        owner = nullptr;
    }
    const std::wstring text = WideFromText(request.Message);
    const std::wstring title = WideFromText(request.ShownTitle());
    const HWND focus = GetFocus();
    const int answer =
        MessageBoxW(owner, text.c_str(), title.c_str(), Style(request, owner != nullptr));
    // The owner, active again, puts the focus on itself: the user goes on where they were.
    if (focus != nullptr && IsWindow(focus)) {
        SetFocus(focus);
    }
    switch (answer) {
    case IDYES:
        return MessageBoxAnswer::Yes;
    case IDNO:
        return MessageBoxAnswer::No;
    case IDOK:
        return MessageBoxAnswer::Ok;
    case 0:
        throw FailureFromHResult(HRESULT_FROM_WIN32(GetLastError()), u"MessageBoxW");
    default:
        // A box closed some other way counts as unanswered.
        return request.UnansweredAnswer();
    }
}

} // namespace varkel::win32
