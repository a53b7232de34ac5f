#include "CaptionFrame.h"

#include <windowsx.h>

#include "ResourceIds.h"

namespace {

constexpr int TitleButtonSize = 20;
constexpr int TitleButtonTop = 14;
constexpr int CloseButtonFromRight = 33;
constexpr int MinimizeButtonFromRight = 58;
constexpr int TitleInset = 10;

void FillOpaque(HDC dc, const RECT& rect, COLORREF color)
{
    const COLORREF previous = ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, L"", 0, nullptr);
    ::SetBkColor(dc, previous);
}

// Window width in client coordinates.
int WindowWidth(HWND hwnd)
{
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect.right - rect.left;
}

} // namespace

void CCaptionFrame::DrawContent(HDC, const RECT&) {}

void CCaptionFrame::PaintFrame(HDC dc, const RECT& content, const std::wstring& title)
{
    captionRect = content;
    captionRect.bottom = content.top + CaptionHeight;
    ::SetTextColor(dc, 0);
    FillOpaque(dc, content, backgroundColor);
    FillOpaque(dc, captionRect, CaptionColor);
    ::TextOutW(dc, content.left + TitleInset, content.top + TitleInset, title.c_str(),
               static_cast<int>(title.size()));
}

void CCaptionFrame::CreateTitleButtons(HWND hwnd, CAlphaSurface& surface)
{
    const int width = WindowWidth(hwnd);
    closeButton.SetImages(IDP_CLOSE_NORMAL, IDP_CLOSE_HOVER, IDP_CLOSE_PRESSED, 0);
    closeButton.CreateControl(hwnd, width - CloseButtonFromRight, TitleButtonTop,
                              width - CloseButtonFromRight + TitleButtonSize,
                              TitleButtonTop + TitleButtonSize, CloseCommandId);
    minimizeButton.SetImages(IDP_MINIMIZE_NORMAL, IDP_MINIMIZE_HOVER, IDP_MINIMIZE_PRESSED, 0);
    minimizeButton.CreateControl(hwnd, width - MinimizeButtonFromRight, TitleButtonTop,
                                 width - MinimizeButtonFromRight + TitleButtonSize,
                                 TitleButtonTop + TitleButtonSize, MinimizeCommandId);
    surface.AddControl(&closeButton);
    surface.AddControl(&minimizeButton);
}

void CCaptionFrame::MoveTitleButtons(HWND hwnd)
{
    const int width = WindowWidth(hwnd);
    if (closeButton.window)
        ::MoveWindow(closeButton.window, width - CloseButtonFromRight, TitleButtonTop,
                     TitleButtonSize, TitleButtonSize, FALSE);
    if (minimizeButton.window)
        ::MoveWindow(minimizeButton.window, width - MinimizeButtonFromRight, TitleButtonTop,
                     TitleButtonSize, TitleButtonSize, FALSE);
}

bool CCaptionFrame::HandleFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result)
{
    switch (message) {
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
