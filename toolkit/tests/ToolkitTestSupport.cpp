#include "ToolkitTestSupport.h"

#include <algorithm>
#include <cstdlib>

#include "AlphaSurface.h"
#include "GdiObjects.h"
#include "TestSupport.h"

std::vector<uint32_t> BitmapPixels(HBITMAP bitmap)
{
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<uint32_t> ScreenPixels(const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC memory(screen.Get());
    ScopedGdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    {
        ScopedSelection selection(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY);
    }
    return BitmapPixels(bitmap.Get());
}

std::wstring SaveBackBuffer(const CAlphaSurface& surface, const std::wstring& name)
{
    wchar_t folder[MAX_PATH] = L"C:\\screenshots";
    ::GetEnvironmentVariableW(L"TESSAMO_SCREENSHOT_DIR", folder, MAX_PATH);
    ::CreateDirectoryW(folder, nullptr);
    const std::wstring path = std::wstring(folder) + L"\\" + name + L".bmp";

    const SIZE size = surface.BufferSize();
    std::string bytes;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    const DWORD pixelBytes = static_cast<DWORD>(size.cx) * size.cy * 4;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixelBytes;
    info.biSize = sizeof info;
    info.biWidth = size.cx;
    info.biHeight = size.cy;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    bytes.append(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(reinterpret_cast<const char*>(surface.backBits), pixelBytes);
    WriteBytesFile(path, bytes);
    return path;
}

namespace {

void SendMouse(DWORD flags, int x = 0, int y = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = ::MulDiv(x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = ::MulDiv(y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    ::SendInput(1, &input, sizeof input);
}

} // namespace

void MoveMouseTo(int x, int y)
{
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
}

void PressMouse()
{
    SendMouse(MOUSEEVENTF_LEFTDOWN);
}

void ReleaseMouse()
{
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void ClickAt(int x, int y)
{
    MoveMouseTo(x, y);
    PressMouse();
    ReleaseMouse();
}

POINT CentreOf(HWND hwnd)
{
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

uint32_t Alpha(uint32_t pixel)
{
    return pixel >> 24;
}

uint32_t Rgb(uint32_t pixel)
{
    return pixel & 0xFFFFFF;
}

uint32_t OpaquePixel(COLORREF color)
{
    return 0xFF000000u | GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
}

uint32_t Over(uint32_t picture, uint32_t background)
{
    const uint32_t alpha = Alpha(picture);
    uint32_t out = 0xFF000000;
    for (int shift : {0, 8, 16}) {
        const uint32_t channel =
            ((picture >> shift) & 0xFF) + ((background >> shift) & 0xFF) * (255 - alpha) / 255;
        out |= std::min<uint32_t>(channel, 255) << shift;
    }
    return out;
}

bool NearPixel(uint32_t a, uint32_t b)
{
    for (int shift : {0, 8, 16, 24}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 2)
            return false;
    }
    return true;
}
