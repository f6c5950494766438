#pragma once
// Answers every message box shown on the creating thread without a person: a hook sees each
// box as it is initialised, reports its title and text on standard error, and presses the
// chosen button. "Yes" presses Yes, or OK where there is no Yes; "No" presses No, or Cancel, or
// OK; "Default" presses the box's default button, as Enter would.

#include "win32/adapters/UniqueHandle.h"

#include <string>
#include <vector>

namespace varkel::host::win32 {

class MessageBoxAnswerer {
public:
    enum class Choice { Yes, No, Default };

    explicit MessageBoxAnswerer(Choice choice);
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    ~MessageBoxAnswerer();

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void Answer(HWND box) const;

    Choice choice_;
    varkel::win32::UniqueHhook hook_; // unhooked after the destructor restores `current`
    MessageBoxAnswerer* previous_ = nullptr;
};

} // namespace varkel::host::win32
