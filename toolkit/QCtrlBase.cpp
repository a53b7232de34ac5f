#include "QCtrlBase.h"

#include <windowsx.h>

#include <algorithm>

#include "GdiObjects.h"
#include "HighContrast.h"
#include "KeyboardFocus.h"
#include "ToolkitMessages.h"

namespace {

constexpr COLORREF FocusCueColour = 0x000000;
constexpr int FocusCueInset = 2;

// Every other pixel of the rectangle's outline.
void DrawDottedOutline(HDC dc, const RECT& r, COLORREF colour)
{
    for (LONG x = r.left; x < r.right; x += 2) {
        ::SetPixelV(dc, x, r.top, colour);
        ::SetPixelV(dc, x, r.bottom - 1, colour);
    }
    for (LONG y = r.top; y < r.bottom; y += 2) {
        ::SetPixelV(dc, r.left, y, colour);
        ::SetPixelV(dc, r.right - 1, y, colour);
    }
}

} // namespace

bool CQCtrlBase::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result, DWORD mapId)
{
    if (mapId != 0)
        return false;
    if (accessible.HandleMessage(hwnd, message, wParam, lParam, result))
        return true;
    if (HandleKeyboardMessage(message, wParam, lParam))
        return true;
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
    if (FocusCueShown())
        DrawFocusCue(dc);
    ::SelectClipRgn(dc, nullptr);
    ::SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    for (CQCtrlBase* sub : controls)
        sub->DrawToParent(dc, scratch);
}

void CQCtrlBase::DrawSelf(HDC, HDC) {}

void CQCtrlBase::Press() {}

bool CQCtrlBase::HandleKeyboardMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        ReportKeyboardUse(window);
        if (message == WM_SYSKEYDOWN || (wParam != VK_TAB && wParam != VK_ESCAPE))
            return false;
        if (parent)
            ::SendMessageW(parent, WM_KEYDOWN, wParam, lParam);
        return true;
    case WM_CHAR:
        // Their key went to the window.
        return wParam == L'\t' || wParam == 0x1B;
    case WM_LBUTTONDOWN:
        ReportMouseUse(window);
        return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The focus cue comes or goes.
        Invalidate();
        return false;
    case WM_ALPHA_PRESS:
        Press();
        return true;
    default:
        return false;
    }
}

RECT CQCtrlBase::FocusCueRect() const
{
    RECT cue{};
    ::GetClientRect(window, &cue);
    ::InflateRect(&cue, -FocusCueInset, -FocusCueInset);
    return cue;
}

bool CQCtrlBase::FocusCueShown() const
{
    return HasFocus() && parent && !(::SendMessageW(parent, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void CQCtrlBase::DrawFocusCue(HDC dc) const
{
    DrawDottedOutline(dc, FocusCueRect(), ContrastColour(FocusCueColour, COLOR_HIGHLIGHT));
}

AccessibleFacts CQCtrlBase::DescribeAccessible(long) const
{
    AccessibleFacts facts;
    facts.name = accessibleName;
    facts.state = WindowStates(window, tabStop);
    return facts;
}

bool CQCtrlBase::StartDefaultAction(long child)
{
    if (child != CHILDID_SELF || DescribeAccessible(child).defaultAction.empty())
        return false;
    ::PostMessageW(window, WM_ALPHA_PRESS, 0, 0);
    return true;
}

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
