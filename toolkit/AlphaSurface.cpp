#include "AlphaSurface.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "GdiObjects.h"
#include "ImageResources.h"
#include "QCtrlBase.h"
#include "ResourceIds.h"
#include "ToolkitMessages.h"

namespace {

SIZE WindowSize(HWND hwnd)
{
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

bool SameSize(SIZE a, SIZE b)
{
    return a.cx == b.cx && a.cy == b.cy;
}

// Calls `row(first, count)` for every row of `area`, which lies inside a bottom-up
// buffer of `size`: the index of the row's first pixel in the area, and the area's width.
template <typename RowFunction>
void ForEachRow(SIZE size, const RECT& area, RowFunction row)
{
    const size_t count = static_cast<size_t>(area.right - area.left);
    for (LONG y = area.top; y < area.bottom; ++y)
        row(static_cast<size_t>(size.cy - 1 - y) * size.cx + area.left, count);
}

// Runs `draw` on `dc` clipped to `area` whatever clipping the drawing selects itself
// (the meta region stays under every clip region), and restores the DC's state after it.
template <typename Draw>
void DrawWithin(HDC dc, const RECT& area, Draw draw)
{
    const int saved = ::SaveDC(dc);
    {
        ScopedGdiObject<HRGN> clip(::CreateRectRgnIndirect(&area));
        ::SelectClipRgn(dc, clip.Get());
    }
    ::SetMetaRgn(dc);
    draw();
    ::RestoreDC(dc, saved);
}

} // namespace

void MakeTouchedOpaque(const uint32_t* probe, uint32_t* back, size_t pixelCount)
{
    for (size_t i = 0; i < pixelCount; ++i) {
        if (probe[i] != ProbeFill)
            back[i] |= 0xFF000000u;
    }
}

bool CAlphaSurface::ShadowLayerKey::operator==(const ShadowLayerKey& other) const
{
    return picture == other.picture && SameSize(windowSize, other.windowSize) &&
           SameSize(bufferSize, other.bufferSize);
}

CAlphaSurface::CAlphaSurface() : dpi(SystemDpi()), font(CreateInterfaceFont(dpi)) {}

void CAlphaSurface::ApplyDpi(UINT newDpi)
{
    if (newDpi == dpi || newDpi == 0)
        return;
    dpi = newDpi;
    HFONT previous = font;
    font = CreateInterfaceFont(dpi);
    for (HDC dc : {backDC, probeDC}) {
        if (dc)
            ::SelectObject(dc, font);
    }
    if (previous)
        ::DeleteObject(previous);
    if (shadowImage.bitmap) {
        shadowImage.Release();
        AttachShadowPicture();
    }
}

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
    wholeWindowPending = true;
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
    wholeWindowPending = true;
    shadowImage.Release();
    shadowLayer.clear();
    shadowLayerKey = ShadowLayerKey{};
}

SIZE CAlphaSurface::BufferSize() const
{
    return BitmapSize(backBitmap);
}

RECT CAlphaSurface::ContentRect() const
{
    return ContentRectFor(WindowSize(SurfaceWindow()));
}

RECT CAlphaSurface::ContentRectFor(SIZE size) const
{
    RECT content{0, 0, size.cx, size.cy};
    ::InflateRect(&content, -ShadowWidth(), -ShadowWidth());
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
    Compose(nullptr);
}

void CAlphaSurface::ComposeArea(const RECT& area)
{
    Compose(&area);
}

void CAlphaSurface::Compose(const RECT* area)
{
    if (suspendRedraw) {
        // Dropped, not queued: whatever it was to show comes with the next composition.
        wholeWindowPending = true;
        return;
    }
    HWND hwnd = SurfaceWindow();
    if (!hwnd || !::IsWindow(hwnd))
        return;
    const SIZE buffer = BufferSize();
    if (!backBits || !probeBits || buffer.cx <= 0 || buffer.cy <= 0)
        return;
    ScopedWindowDC windowDC(hwnd);
    const SIZE windowSize = WindowSize(hwnd);
    RefreshShadowLayer(windowDC.Get(), windowSize);

    RECT dirty{0, 0, buffer.cx, buffer.cy};
    const bool partial = area && !wholeWindowPending && SameSize(windowSize, buffer);
    if (partial && !::IntersectRect(&dirty, &dirty, area))
        return;
    ResetArea(dirty);
    const RECT content = ContentRectFor(windowSize);
    DrawWithin(backDC, dirty, [&] { DrawUnderlay(backDC, content); });
    DrawWithin(probeDC, dirty, [&] { DrawFrame(probeDC, content); });
    DrawWithin(backDC, dirty, [&] { DrawFrame(backDC, content); });
    ::GdiFlush();
    MakeAreaOpaque(dirty);
    wholeWindowPending = false;
    Push(windowDC.Get(), windowSize, partial ? &dirty : nullptr);
}

void CAlphaSurface::RefreshShadowLayer(HDC windowDC, SIZE windowSize)
{
    const ShadowLayerKey key{shadow ? shadowImage.bitmap : nullptr, windowSize, BufferSize()};
    if (key == shadowLayerKey)
        return;
    shadowLayerKey = key;
    shadowLayer.clear();
    wholeWindowPending = true;
    if (!key.picture)
        return;
    const size_t pixelCount = static_cast<size_t>(key.bufferSize.cx) * key.bufferSize.cy;
    std::memset(backBits, 0, pixelCount * 4);
    ScopedMemoryDC scratch(windowDC);
    shadowImage.Draw(backDC, scratch.Get(), 0, 0, windowSize.cx, windowSize.cy);
    ::GdiFlush();
    shadowLayer.assign(backBits, backBits + pixelCount);
}

void CAlphaSurface::ResetArea(const RECT& area)
{
    ForEachRow(BufferSize(), area, [&](size_t first, size_t count) {
        if (shadowLayer.empty())
            std::fill_n(backBits + first, count, 0u);
        else
            std::copy_n(shadowLayer.data() + first, count, backBits + first);
        std::fill_n(probeBits + first, count, ProbeFill);
    });
}

void CAlphaSurface::MakeAreaOpaque(const RECT& area)
{
    ForEachRow(BufferSize(), area, [&](size_t first, size_t count) {
        MakeTouchedOpaque(probeBits + first, backBits + first, count);
    });
}

void CAlphaSurface::Push(HDC windowDC, SIZE windowSize, const RECT* dirty)
{
    POINT source{0, 0};
    UPDATELAYEREDWINDOWINFO update{sizeof update, windowDC, nullptr, &windowSize, backDC, &source, 0,
                                   &blend, ULW_ALPHA, dirty};
    ::UpdateLayeredWindowIndirect(SurfaceWindow(), &update);
}

void CAlphaSurface::DrawFrame(HDC dc, const RECT&)
{
    DrawControls(dc);
}

void CAlphaSurface::DrawUnderlay(HDC, const RECT&) {}

void CAlphaSurface::DrawControls(HDC dc)
{
    // A control wholly outside the area being composed would draw nothing.
    RECT area{};
    const int clip = ::GetClipBox(dc, &area);
    if (clip == NULLREGION)
        return;
    ScopedMemoryDC scratch(dc);
    for (CQCtrlBase* control : controls) {
        RECT overlap{};
        const RECT visible = control->VisibleRect();
        if (clip == ERROR || ::IntersectRect(&overlap, &visible, &area))
            control->DrawToParent(dc, scratch.Get());
    }
}

bool CAlphaSurface::AttachShadowPicture()
{
    HBITMAP picture = LoadPngBitmapAt(IDP_SHADOW, dpi);
    const SIZE size = BitmapSize(picture);
    if (size.cx <= 0 || size.cy <= 0) {
        if (picture)
            ::DeleteObject(picture);
        return false;
    }
    shadowImage.Attach(picture, true);
    shadowImage.SetSplits(size.cx / 2, size.cx / 2, size.cy / 2, size.cy / 2);
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

AccessibleFacts CAlphaSurface::DescribeAccessible(long) const
{
    const HWND hwnd = SurfaceWindow();
    std::vector<wchar_t> text(::GetWindowTextLengthW(hwnd) + 1);
    ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    AccessibleFacts facts;
    facts.name = text.data();
    facts.state = WindowStates(hwnd, false);
    return facts;
}

std::vector<HWND> CAlphaSurface::AccessibleChildWindows() const
{
    std::vector<HWND> windows;
    for (const CQCtrlBase* control : keyboard.TabOrder())
        windows.push_back(control->window);
    for (const CQCtrlBase* control : controls) {
        if (!control->tabStop)
            windows.push_back(control->window);
    }
    windows.erase(std::remove(windows.begin(), windows.end(), nullptr), windows.end());
    return windows;
}

bool CAlphaSurface::HandleAssistanceMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            LRESULT& result)
{
    if (accessible.HandleMessage(hwnd, message, wParam, lParam, result))
        return true;
    if (message == WM_SYSCOLORCHANGE || message == WM_SETTINGCHANGE) {
        // High contrast or the system colours may have changed.
        ComposeAndUpdate();
        return false;
    }
    return keyboard.HandleMessage(hwnd, message, wParam, result, [this] { ComposeAndUpdate(); });
}

bool CAlphaSurface::HandleToolkitMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result)
{
    if (HandleAssistanceMessage(hwnd, message, wParam, lParam, result))
        return true;
    switch (message) {
    case WM_PAINT:
        Paint(hwnd);
        return true;
    case WM_ALPHA_REDRAW:
        if (lParam)
            ComposeArea(*reinterpret_cast<const RECT*>(lParam));
        else
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
        ApplyDpi(WindowDpi(hwnd));
        CreateBuffers();
        return false;
    case WM_GETMINMAXINFO:
        // The size is the drawing's: at a large scale on a small screen the window may be
        // taller than the screen rather than cut to it.
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMaxTrackSize = POINT{SHRT_MAX, SHRT_MAX};
        result = 0;
        return true;
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
        ApplyDpi(WindowDpi(hwnd));
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
