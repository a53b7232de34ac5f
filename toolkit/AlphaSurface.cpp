#include "AlphaSurface.h"

#include <algorithm>
#include <cstring>

#include "GdiObjects.h"
#include "ImageResources.h"
#include "QCtrlBase.h"
#include "ResourceIds.h"
#include "ToolkitMessages.h"

namespace {

constexpr int ShadowCorner = 20;

HFONT CreateWindowFont()
{
    ScopedWindowDC screen(nullptr);
    LOGFONTW face{};
    face.lfHeight = -::MulDiv(9, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
    face.lfCharSet = DEFAULT_CHARSET;
    std::wcscpy(face.lfFaceName, L"宋体");
    return ::CreateFontIndirectW(&face);
}

SIZE WindowSize(HWND hwnd)
{
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

std::vector<uint8_t> TouchedMask(const uint32_t* probe, size_t pixelCount)
{
    std::vector<uint8_t> mask(pixelCount);
    for (size_t i = 0; i < pixelCount; ++i)
        mask[i] = probe[i] != ProbeFill;
    return mask;
}

void MakeTouchedOpaque(const std::vector<uint8_t>& mask, uint32_t* back)
{
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i])
            back[i] |= 0xFF000000u;
    }
}

CAlphaSurface::CAlphaSurface() : font(CreateWindowFont()) {}

CAlphaSurface::~CAlphaSurface()
{
    FreeBuffers();
    controls.clear();
    shadowImage.Release();
    if (font)
        ::DeleteObject(font);
}

void CAlphaSurface::AddControl(CQCtrlBase* control)
{
    if (std::find(controls.begin(), controls.end(), control) == controls.end())
        controls.push_back(control);
}

void CAlphaSurface::CreateBuffers()
{
    HWND hwnd = SurfaceWindow();
    const SIZE size = WindowSize(hwnd);
    if (!backDC) {
        ScopedWindowDC windowDC(hwnd);
        backDC = ::CreateCompatibleDC(windowDC.Get());
        probeDC = ::CreateCompatibleDC(windowDC.Get());
        backDCOriginal = ::GetCurrentObject(backDC, OBJ_BITMAP);
        probeDCOriginal = ::GetCurrentObject(probeDC, OBJ_BITMAP);
        for (HDC dc : {backDC, probeDC}) {
            ::SelectObject(dc, font);
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, 0);
        }
    }
    void* back = nullptr;
    void* probe = nullptr;
    HBITMAP newBack = CreateDib32(size.cx, size.cy, &back);
    HBITMAP newProbe = CreateDib32(size.cx, size.cy, &probe);
    if (!newBack || !newProbe) {
        // A failed creation leaves no buffers: the composition then draws nothing.
        if (newBack)
            ::DeleteObject(newBack);
        if (newProbe)
            ::DeleteObject(newProbe);
        newBack = newProbe = nullptr;
        back = probe = nullptr;
    }
    // The old bitmaps leave the DCs before they are deleted.
    ::SelectObject(backDC, newBack ? static_cast<HGDIOBJ>(newBack) : backDCOriginal);
    ::SelectObject(probeDC, newProbe ? static_cast<HGDIOBJ>(newProbe) : probeDCOriginal);
    if (backBitmap)
        ::DeleteObject(backBitmap);
    if (probeBitmap)
        ::DeleteObject(probeBitmap);
    backBitmap = newBack;
    probeBitmap = newProbe;
    backBits = static_cast<uint32_t*>(back);
    probeBits = static_cast<uint32_t*>(probe);
}

void CAlphaSurface::FreeBuffers()
{
    for (HDC* dc : {&backDC, &probeDC}) {
        if (*dc)
            ::DeleteDC(*dc);
        *dc = nullptr;
    }
    for (HBITMAP* bitmap : {&backBitmap, &probeBitmap}) {
        if (*bitmap)
            ::DeleteObject(*bitmap);
        *bitmap = nullptr;
    }
    backBits = probeBits = nullptr;
    shadowImage.Release();
}

SIZE CAlphaSurface::BufferSize() const
{
    return BitmapSize(backBitmap);
}

RECT CAlphaSurface::ContentRect() const
{
    const SIZE size = WindowSize(SurfaceWindow());
    RECT content{0, 0, size.cx, size.cy};
    if (shadow)
        ::InflateRect(&content, -ShadowMargin, -ShadowMargin);
    return content;
}

uint32_t CAlphaSurface::BackPixel(int x, int y) const
{
    const SIZE size = BufferSize();
    if (!backBits || x < 0 || y < 0 || x >= size.cx || y >= size.cy)
        return 0;
    return backBits[static_cast<size_t>(size.cy - 1 - y) * size.cx + x];
}

void CAlphaSurface::ComposeAndUpdate()
{
    if (suspendRedraw)
        return;
    HWND hwnd = SurfaceWindow();
    if (!hwnd || !::IsWindow(hwnd))
        return;
    ScopedWindowDC windowDC(hwnd);
    const SIZE windowSize = WindowSize(hwnd);
    RECT content{0, 0, windowSize.cx, windowSize.cy};

    const SIZE buffer = BufferSize();
    if (!backBits || !probeBits || buffer.cx <= 0 || buffer.cy <= 0)
        return;
    const size_t pixelCount = static_cast<size_t>(buffer.cx) * buffer.cy;
    std::memset(probeBits, 0x01, pixelCount * 4);
    std::memset(backBits, 0, pixelCount * 4);

    if (shadow) {
        ScopedMemoryDC scratch(windowDC.Get());
        shadowImage.Draw(backDC, scratch.Get(), content.left, content.top, content.right,
                         content.bottom);
        ::InflateRect(&content, -ShadowMargin, -ShadowMargin);
    }
    DrawUnderlay(backDC, content);
    DrawFrame(probeDC, content);
    ::GdiFlush();
    const std::vector<uint8_t> mask = TouchedMask(probeBits, pixelCount);
    DrawFrame(backDC, content);
    ::GdiFlush();
    MakeTouchedOpaque(mask, backBits);

    POINT source{0, 0};
    ::UpdateLayeredWindow(hwnd, windowDC.Get(), nullptr, const_cast<SIZE*>(&windowSize), backDC,
                          &source, 0, &blend, ULW_ALPHA);
}

void CAlphaSurface::DrawFrame(HDC dc, const RECT&)
{
    DrawControls(dc);
}

void CAlphaSurface::DrawUnderlay(HDC, const RECT&) {}

void CAlphaSurface::DrawControls(HDC dc)
{
    ScopedMemoryDC scratch(dc);
    for (CQCtrlBase* control : controls)
        control->DrawToParent(dc, scratch.Get());
}

bool CAlphaSurface::AttachShadowPicture()
{
    std::unique_ptr<CGdiImage> picture = LoadPngResource(IDP_SHADOW);
    if (!picture || picture->Width() == 0 || picture->Height() == 0)
        return false;
    HBITMAP converted = ToPremultipliedBitmap(picture.get());
    if (!converted)
        return false;
    shadowImage.Attach(converted, true);
    shadowImage.SetSplits(ShadowCorner, ShadowCorner, ShadowCorner, ShadowCorner);
    return true;
}

void CAlphaSurface::RemoveCaption(HWND hwnd, HWND insertAfter)
{
    LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
    UINT flags = SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
    if (!insertAfter)
        flags |= SWP_NOZORDER;
    ::SetWindowPos(hwnd, insertAfter, 0, 0, 0, 0, flags);
}

bool CAlphaSurface::WindowRectEmpty(HWND hwnd) const
{
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return ::IsRectEmpty(&rect);
}

void CAlphaSurface::Paint(HWND hwnd)
{
    PAINTSTRUCT paint;
    ::BeginPaint(hwnd, &paint);
    ComposeAndUpdate();
    ::EndPaint(hwnd, &paint);
}

bool CAlphaSurface::HandleToolkitMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result)
{
    switch (message) {
    case WM_PAINT:
        Paint(hwnd);
        return true;
    case WM_ALPHA_REDRAW:
        ComposeAndUpdate();
        return true;
    case WM_ALPHA_TO_CLIENT:
        if (wParam && lParam)
            ::ScreenToClient(hwnd, reinterpret_cast<POINT*>(lParam));
        result = 0;
        return true;
    case WM_ALPHA_VISIBLE_RECT:
        if (lParam)
            ::GetClientRect(hwnd, reinterpret_cast<RECT*>(lParam));
        result = 0;
        return true;
    default:
        return false;
    }
}

bool CAlphaSurface::HandleWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result)
{
    switch (message) {
    case WM_CREATE:
        suspendRedraw = true;
        CreateBuffers();
        return false;
    case WM_SIZE:
        if (suspendRedraw) {
            suspendRedraw = false;
            ComposeAndUpdate();
        }
        if (!WindowRectEmpty(hwnd)) {
            CreateBuffers();
            ComposeAndUpdate();
        }
        return true;
    default:
        return HandleToolkitMessage(hwnd, message, wParam, lParam, result);
    }
}

bool CAlphaSurface::HandleDialogMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        CreateBuffers();
        if (shadow)
            AttachShadowPicture();
        ::SetWindowLongPtrW(hwnd, GWL_STYLE,
                            ::GetWindowLongPtrW(hwnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CAPTION));
        ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW);
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        return false;
    case WM_SIZE:
        if (!WindowRectEmpty(hwnd)) {
            CreateBuffers();
            ComposeAndUpdate();
        }
        return false;
    case WM_ERASEBKGND:
        ComposeAndUpdate();
        result = 1;
        return true;
    default:
        return HandleToolkitMessage(hwnd, message, wParam, lParam, result);
    }
}
