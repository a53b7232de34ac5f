#include "DisplayScale.h"

#include <cwchar>

namespace {

constexpr int InterfaceFontPoints = 9;

// Resolved at run time: the headers target Windows 7, and older systems lack them.
template <typename Function>
Function User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
                  : nullptr;
}

} // namespace

int ScaleLength(int length, UINT dpi)
{
    return ::MulDiv(length, static_cast<int>(dpi), static_cast<int>(DefaultDpi));
}

RECT ScaleRect(const RECT& rect, UINT dpi)
{
    return RECT{ScaleLength(rect.left, dpi), ScaleLength(rect.top, dpi), ScaleLength(rect.right, dpi),
                ScaleLength(rect.bottom, dpi)};
}

UINT SystemDpi()
{
    using GetDpiForSystemFunction = UINT(WINAPI*)();
    static const auto getDpiForSystem = User32Function<GetDpiForSystemFunction>("GetDpiForSystem");
    if (getDpiForSystem)
        return getDpiForSystem();
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : DefaultDpi;
}

UINT WindowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window))
            return dpi;
    }
    return SystemDpi();
}

HFONT CreateInterfaceFont(UINT dpi)
{
    LOGFONTW face{};
    face.lfHeight = -::MulDiv(InterfaceFontPoints, static_cast<int>(dpi), 72);
    face.lfCharSet = DEFAULT_CHARSET;
    std::wcscpy(face.lfFaceName, L"宋体");
    return ::CreateFontIndirectW(&face);
}
