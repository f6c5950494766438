#pragma once
// Real modal message boxes (MessageBoxW). A box is owned by the page's window when the page
// has one (the platform then makes the window's top-level ancestor the owner and disables it);
// without a window the box is modal to the thread. A box without a title of its own carries
// the component's application title.

#include "win32/adapters/Win32.h"

#include "toolkit/MessageBoxPort.h"

#include <functional>

namespace varkel::win32 {

class Win32MessageBoxes final : public MessageBoxPort {
public:
    // `owner` answers the window that owns the boxes, or null.
    explicit Win32MessageBoxes(std::function<HWND()> owner) : owner_(std::move(owner)) {}

private:
    // Throws a Failure when the box cannot be shown.
    MessageBoxAnswer ShowModal(const MessageBoxRequest& request) override;

    std::function<HWND()> owner_;
};

} // namespace varkel::win32
