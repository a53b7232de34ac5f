#include "NoteWindow.h"

#include "ContactPoints.h"

namespace {

constexpr COLORREF SheetColour = RGB(214, 232, 248);
constexpr COLORREF BandColour = RGB(93, 142, 168);
constexpr COLORREF TextColour = RGB(40, 60, 80);
constexpr int BandHeight = 28;

const wchar_t* const WelcomeTitle = L"欢迎使用Tessamo便签";
const wchar_t* const WelcomeText =
    L"这是您的第一张便签。\r\n\r\n"
    L"把待办事项、灵感和备忘随手记在桌面上，内容会自动保存。\r\n\r\n"
    L"详细用法请看安装目录中的“使用说明.txt”。";

class Font {
public:
    Font(int points, bool bold)
    {
        HDC screen = ::GetDC(nullptr);
        const int height = -::MulDiv(points, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
        ::ReleaseDC(nullptr, screen);
        font = ::CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0,
                             0, CLEARTYPE_QUALITY, 0, L"宋体");
    }
    ~Font() { ::DeleteObject(font); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    HFONT Get() const { return font; }

private:
    HFONT font;
};

} // namespace

bool CNoteWindow::Show()
{
    const RECT place{240, 160, 240 + 300, 160 + 300};
    if (!Create(nullptr, place, MainWindowTitle, WS_OVERLAPPEDWINDOW))
        return false;
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    return true;
}

bool CNoteWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result, DWORD mapId)
{
    if (CWindowImpl<CNoteWindow>::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
        return true;
    switch (message) {
    case WM_PAINT:
        Paint();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        result = 0;
        return true;
    default:
        return false;
    }
}

void CNoteWindow::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT client;
    ::GetClientRect(window, &client);

    HBRUSH sheet = ::CreateSolidBrush(SheetColour);
    ::FillRect(dc, &client, sheet);
    ::DeleteObject(sheet);
    RECT band{client.left, client.top, client.right, client.top + BandHeight};
    HBRUSH bandBrush = ::CreateSolidBrush(BandColour);
    ::FillRect(dc, &band, bandBrush);
    ::DeleteObject(bandBrush);

    ::SetBkMode(dc, TRANSPARENT);
    Font titleFont(10, true);
    Font textFont(9, false);
    HGDIOBJ previous = ::SelectObject(dc, titleFont.Get());
    ::SetTextColor(dc, RGB(255, 255, 255));
    RECT title{band.left + 10, band.top, band.right - 10, band.bottom};
    ::DrawTextW(dc, WelcomeTitle, -1, &title, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);

    ::SelectObject(dc, textFont.Get());
    ::SetTextColor(dc, TextColour);
    RECT text{client.left + 12, band.bottom + 12, client.right - 12, client.bottom - 12};
    ::DrawTextW(dc, WelcomeText, -1, &text, DT_WORDBREAK);
    ::SelectObject(dc, previous);
    ::EndPaint(window, &paint);
}
