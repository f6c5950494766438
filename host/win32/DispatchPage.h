#pragma once
// The page reached through its IDispatch, by name, the way a scripting host calls it: the
// argument tables go by reference as SAFEARRAYs of VARIANT (in) and of BSTR (out), the
// installation path as a BSTR by reference.
//
// A failed call (an HRESULT, not the page's own answer) is a HostError(Hosting).

#include "core/PagePort.h"
#include "win32/adapters/ComPtr.h"

#include <oaidl.h>

namespace varkel::host::win32 {

class DispatchPage : public PagePort {
public:
    explicit DispatchPage(varkel::win32::ComPtr<IDispatch> page);

    long LoadDefaults(const std::vector<TextLoadRow>& rows,
                      const std::filesystem::path& installPath) override;
    long GetAllArguments(std::vector<TextArgument>& arguments) override;
    bool HasUnsavedChanges() override;

private:
    DISPID Id(const wchar_t* name) const;
    VARIANT Call(const wchar_t* name, VARIANTARG* arguments, UINT count);

    varkel::win32::ComPtr<IDispatch> page_;
};

} // namespace varkel::host::win32
