#include "CaptionFrame.h"

#include <windowsx.h>

#include "HighContrast.h"
#include "ResourceIds.h"

namespace {

constexpr int TitleButtonSize = 20;
constexpr int TitleButtonTop = 14;
constexpr int CloseButtonFromRight = 33;
constexpr int MinimizeButtonFromRight = 58;
constexpr int TitleInset = 10;

// A title button's place: `fromRight` pixels (at 100 %) from the window's right edge.
RECT TitleButtonRect(int width, int fromRight, UINT dpi)
{
    return RECT{width - ScaleLength(fromRight, dpi), ScaleLength(TitleButtonTop, dpi),
                width - ScaleLength(fromRight - TitleButtonSize, dpi),
                ScaleLength(TitleButtonTop + TitleButtonSize, dpi)};
}

void MoveControl(CQCtrlBase& control, const RECT& rect)
{
    if (control.window)
        ::MoveWindow(control.window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     FALSE);
}

} // namespace

int WindowWidth(HWND hwnd)
{
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect.right - rect.left;
}

void CCaptionFrame::DrawContent(HDC, const RECT&) {}

void CCaptionFrame::PaintFrame(HDC dc, const RECT& content, const std::wstring& title, UINT dpi)
{
    captionRect = content;
    captionRect.bottom = content.top + ScaleLength(CaptionHeight, dpi);
    FillOpaque(dc, content, ContrastColour(backgroundColor, COLOR_WINDOW));
    FillOpaque(dc, captionRect, ContrastColour(CaptionColor, COLOR_ACTIVECAPTION));
    ::SetTextColor(dc, ContrastColour(0, COLOR_CAPTIONTEXT));
    const int inset = ScaleLength(TitleInset, dpi);
    ::TextOutW(dc, content.left + inset, content.top + inset, title.c_str(), static_cast<int>(title.size()));
    // The content's text colour, on the body.
    ::SetTextColor(dc, ContrastColour(0, COLOR_WINDOWTEXT));
}

void CCaptionFrame::CreateTitleButtons(HWND hwnd, CAlphaSurface& surface)
{
    const int width = WindowWidth(hwnd);
    const UINT dpi = surface.dpi;
    closeButton.SetImages(IDP_CLOSE_NORMAL, IDP_CLOSE_HOVER, IDP_CLOSE_PRESSED, 0, dpi);
    const RECT close = TitleButtonRect(width, CloseButtonFromRight, dpi);
    closeButton.CreateControl(hwnd, close.left, close.top, close.right, close.bottom, CloseCommandId);
    minimizeButton.SetImages(IDP_MINIMIZE_NORMAL, IDP_MINIMIZE_HOVER, IDP_MINIMIZE_PRESSED, 0, dpi);
    const RECT minimize = TitleButtonRect(width, MinimizeButtonFromRight, dpi);
    minimizeButton.CreateControl(hwnd, minimize.left, minimize.top, minimize.right, minimize.bottom,
                                 MinimizeCommandId);
    closeButton.accessibleName = L"关闭";
    minimizeButton.accessibleName = L"最小化";
    surface.AddControl(&closeButton);
    surface.AddControl(&minimizeButton);
}

void CCaptionFrame::MoveTitleButtons(int width, UINT dpi)
{
    MoveControl(closeButton, TitleButtonRect(width, CloseButtonFromRight, dpi));
    MoveControl(minimizeButton, TitleButtonRect(width, MinimizeButtonFromRight, dpi));
}

void CCaptionFrame::ScaleTitleButtons(int width, UINT dpi)
{
    closeButton.SetImages(IDP_CLOSE_NORMAL, IDP_CLOSE_HOVER, IDP_CLOSE_PRESSED, 0, dpi);
    minimizeButton.SetImages(IDP_MINIMIZE_NORMAL, IDP_MINIMIZE_HOVER, IDP_MINIMIZE_PRESSED, 0, dpi);
    MoveTitleButtons(width, dpi);
}

void CCaptionFrame::TakeDpi(HWND hwnd, CAlphaSurface& surface, UINT newDpi, const RECT& suggested)
{
    surface.suspendRedraw = true;
    surface.ApplyDpi(newDpi);
    ScaleTitleButtons(suggested.right - suggested.left, surface.dpi);
    LayoutForDpi(SIZE{suggested.right - suggested.left, suggested.bottom - suggested.top});
    surface.suspendRedraw = false;
    ::SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    surface.ComposeAndUpdate();
}

bool CCaptionFrame::HandleFrameMessage(HWND hwnd, CAlphaSurface& surface, UINT message, WPARAM wParam,
                                       LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_DPICHANGED:
        TakeDpi(hwnd, surface, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) != MinimizeCommandId)
            return false;
        ::ShowWindow(hwnd, SW_MINIMIZE);
        return true;
    case WM_LBUTTONDOWN: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (!::PtInRect(&captionRect, point))
            return false;
        // The system then moves the window with the mouse.
        ::SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        return true;
    }
    default:
        return false;
    }
}
