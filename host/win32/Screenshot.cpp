#include "Screenshot.h"

#include "core/FileStore.h"
#include "core/HostError.h"
#include "win32/adapters/UniqueHandle.h"

#include <objidl.h>

#include <gdiplus.h>

#include <vector>

namespace varkel::host::win32 {

namespace {

[[noreturn]] void Fail(const std::filesystem::path& png, const std::string& reason) {
    throw HostError(ExitCode::CannotWrite, DisplayPath(png) + ": " + reason);
}

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession() {
        if (ok_) {
            Gdiplus::GdiplusShutdown(token_);
        }
    }
    bool Ok() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

bool PngEncoder(CLSID& encoder) {
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) {
        return false;
    }
    std::vector<unsigned char> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) {
        return false;
    }
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring_view(codecs[i].MimeType) == L"image/png") {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

} // namespace

void SaveClientAreaPicture(HWND window, const std::filesystem::path& png) {
    // Whatever is still queued (paints of the page's child windows) reaches the screen first.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) {
        Fail(png, "the window has no visible area to picture");
    }
    HDC windowDc = GetDC(window);
    const varkel::win32::UniqueHdc memoryDc(CreateCompatibleDC(windowDc));
    const varkel::win32::UniqueHbitmap bitmap(CreateCompatibleBitmap(windowDc, width, height));
    HGDIOBJ old = SelectObject(memoryDc.Get(), bitmap.Get());
    const BOOL copied = BitBlt(memoryDc.Get(), 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc.Get(), old);
    ReleaseDC(window, windowDc);
    if (!copied) {
        Fail(png, "the window's picture cannot be copied");
    }
    SaveBitmapPicture(bitmap.Get(), png);
}

void SaveBitmapPicture(HBITMAP bitmap, const std::filesystem::path& png) {
    GdiplusSession gdiplus;
    CLSID encoder{};
    if (!gdiplus.Ok() || !PngEncoder(encoder)) {
        Fail(png, "GDI+ offers no PNG encoder");
    }
    Gdiplus::Bitmap image(bitmap, nullptr);
    if (image.Save(png.wstring().c_str(), &encoder, nullptr) != Gdiplus::Ok) {
        Fail(png, "the picture cannot be written");
    }
}

} // namespace varkel::host::win32
