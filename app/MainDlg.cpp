#include "MainDlg.h"

#include "RunState.h"

namespace {

constexpr int ContentWidth = 500;
constexpr int ContentHeight = 400;

} // namespace

CMainDlg::CMainDlg()
{
    HDC screen = ::GetDC(nullptr);
    int height = -::MulDiv(9, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    font = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"宋体");
}

CMainDlg::~CMainDlg()
{
    if (font)
        ::DeleteObject(font);
}

bool CMainDlg::Show()
{
    if (window) {
        ::SetForegroundWindow(window);
        return true;
    }
    int left = (::GetSystemMetrics(SM_CXSCREEN) - ContentWidth) / 2;
    int top = (::GetSystemMetrics(SM_CYSCREEN) - ContentHeight) / 2;
    RECT rect{left, top, left + ContentWidth, top + ContentHeight};
    if (!Create(nullptr, rect, L"安装Tessamo", WS_POPUP | WS_VISIBLE, WS_EX_APPWINDOW))
        return false;
    ::InvalidateRect(window, nullptr, FALSE);
    return true;
}

void CMainDlg::CloseSetupWindow(int exitCode)
{
    if (window)
        ::DestroyWindow(window);
    ::PostQuitMessage(exitCode);
}

bool CMainDlg::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result, DWORD mapId)
{
    switch (message) {
    case WM_CREATE:
        MainWindow = this;
        return false;
    case WM_PAINT:
        Paint();
        return true;
    case WM_CLOSE:
        CloseSetupWindow(0);
        return true;
    default:
        return false;
    }
}

void CMainDlg::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window, &ps);
    RECT client;
    ::GetClientRect(window, &client);
    ::SetDCBrushColor(dc, RGB(0xF0, 0xF0, 0xF0));
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    RECT caption{client.left, client.top, client.right, client.top + 30};
    ::SetDCBrushColor(dc, RGB(0xFF, 0xBA, 0x00));
    ::FillRect(dc, &caption, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::TextOutW(dc, 10, 10, L"安装Tessamo", 9);
    ::SelectObject(dc, oldFont);
    ::EndPaint(window, &ps);
}
