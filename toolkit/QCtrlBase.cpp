#include "QCtrlBase.h"

#include <windowsx.h>

#include <algorithm>

#include "GdiObjects.h"
#include "ToolkitMessages.h"

bool CQCtrlBase::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result, DWORD mapId)
{
    if (mapId != 0)
        return false;
    switch (message) {
    case WM_PAINT:
        // The default processing then validates the window.
        Invalidate();
        return false;
    case WM_ALPHA_REDRAW:
    case WM_ALPHA_TO_CLIENT:
        if (parent)
            ::SendMessageW(parent, message, wParam, lParam);
        return false;
    case WM_ALPHA_VISIBLE_RECT:
        if (lParam)
            AnswerVisibleRect(reinterpret_cast<RECT*>(lParam));
        return false;
    default:
        return false;
    }
}

HWND CQCtrlBase::CreateControl(HWND parentWindow, int left, int top, int right, int bottom,
                               UINT commandId)
{
    parent = parentWindow;
    id = commandId;
    return Create(parentWindow, RECT{left, top, right, bottom}, nullptr, WS_CHILD | WS_VISIBLE, 0,
                  commandId);
}

void CQCtrlBase::Invalidate()
{
    if (!window || !visible || !parent)
        return;
    // The old place too: the control may have moved or shrunk since it was drawn.
    RECT area = VisibleRect();
    ::UnionRect(&area, &area, &drawnRect);
    ::SendMessageW(parent, WM_ALPHA_REDRAW, 0, reinterpret_cast<LPARAM>(&area));
}

void CQCtrlBase::SetVisible(bool show)
{
    visible = show;
    if (window)
        ::ShowWindow(window, show ? SW_SHOW : SW_HIDE);
}

bool CQCtrlBase::HasFocus() const
{
    return window && ::GetFocus() == window;
}

POINT CQCtrlBase::ScreenToTopLevel(POINT screen) const
{
    ::SendMessageW(::GetParent(window), WM_ALPHA_TO_CLIENT, reinterpret_cast<WPARAM>(window),
                   reinterpret_cast<LPARAM>(&screen));
    return screen;
}

RECT CQCtrlBase::VisibleRect() const
{
    RECT visibleRect{};
    ::SendMessageW(window, WM_ALPHA_VISIBLE_RECT, 0, reinterpret_cast<LPARAM>(&visibleRect));
    return visibleRect;
}

void CQCtrlBase::AnswerVisibleRect(RECT* out) const
{
    RECT screen{};
    ::GetWindowRect(window, &screen);
    const POINT topLeft = ScreenToTopLevel(POINT{screen.left, screen.top});
    const POINT bottomRight = ScreenToTopLevel(POINT{screen.right, screen.bottom});
    *out = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    if (parent) {
        RECT outer{};
        ::SendMessageW(parent, WM_ALPHA_VISIBLE_RECT, 0, reinterpret_cast<LPARAM>(&outer));
        out->left = std::max(out->left, outer.left);
        out->top = std::max(out->top, outer.top);
        out->right = std::min(out->right, outer.right);
        out->bottom = std::min(out->bottom, outer.bottom);
    }
}

void CQCtrlBase::DrawToParent(HDC dc, HDC scratch)
{
    if (!window || !::IsWindow(window) || !visible) {
        drawnRect = RECT{};
        return;
    }
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    origin = ScreenToTopLevel(origin);
    RECT visibleRect = VisibleRect();
    if (::IsRectEmpty(&visibleRect))
        visibleRect = RECT{};
    drawnRect = visibleRect;

    POINT oldOrigin{};
    ::SetViewportOrgEx(dc, origin.x, origin.y, &oldOrigin);
    ScopedGdiObject<HRGN> clip(::CreateRectRgnIndirect(&visibleRect));
    ::SelectClipRgn(dc, clip.Get());
    DrawSelf(dc, scratch);
    ::SelectClipRgn(dc, nullptr);
    ::SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    for (CQCtrlBase* sub : controls)
        sub->DrawToParent(dc, scratch);
}

void CQCtrlBase::DrawSelf(HDC, HDC) {}

void CQCtrlBase::Notify()
{
    if (parent)
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(LOWORD(id), 0), 0);
}

bool IsInClient(HWND control, LPARAM point)
{
    RECT client{};
    ::GetClientRect(control, &client);
    // Signed: a captured mouse reports points left of and above the control.
    return ::PtInRect(&client, POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)}) != FALSE;
}

void ClickTracker::Press(HWND control)
{
    pending = true;
    ::SetCapture(control);
}

bool ClickTracker::Release(HWND control, LPARAM point)
{
    const bool click = pending && IsInClient(control, point);
    // Cleared first: releasing the capture sends WM_CAPTURECHANGED.
    pending = false;
    if (::GetCapture() == control)
        ::ReleaseCapture();
    return click;
}

bool ClickTracker::Abandon()
{
    const bool wasPending = pending;
    pending = false;
    return wasPending;
}
