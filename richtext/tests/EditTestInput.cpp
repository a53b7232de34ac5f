#include "EditTestWindow.h"

#include <cstring>

#include "TestSupport.h"
#include "ToolkitTestSupport.h"

namespace {

void SendUnicode(wchar_t character, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = character;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    ::SendInput(1, &input, sizeof input);
}

void PressWith(WORD modifier, WORD key)
{
    SendKey(modifier, false);
    SendKey(key, false);
    SendKey(key, true);
    SendKey(modifier, true);
    PumpMessages(60);
}

}  // namespace

void PressKey(WORD key)
{
    SendKey(key, false);
    SendKey(key, true);
    PumpMessages(40);
}

void PressControlKey(WORD key)
{
    PressWith(VK_CONTROL, key);
}

void PressShiftKey(WORD key)
{
    PressWith(VK_SHIFT, key);
}

void TypeText(const std::wstring& text)
{
    for (wchar_t character : text) {
        SendUnicode(character, false);
        SendUnicode(character, true);
        PumpMessages(20);
    }
    PumpMessages(40);
}

void TurnWheel(int delta)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(delta);
    ::SendInput(1, &input, sizeof input);
    PumpMessages(60);
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!::OpenClipboard(nullptr))
        return L"<clipboard not open>";
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = characters;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

bool ClipboardHas(UINT format)
{
    return ::IsClipboardFormatAvailable(format) != FALSE;
}

void PutClipboardText(const std::wstring& text)
{
    if (!::OpenClipboard(nullptr))
        return;
    ::EmptyClipboard();
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

POINT ScreenPoint(HWND window, int x, int y)
{
    POINT point{x, y};
    ::ClientToScreen(window, &point);
    return point;
}

void ClickClient(HWND window, int x, int y)
{
    POINT point = ScreenPoint(window, x, y);
    ClickAt(point.x, point.y);
    PumpMessages(80);
}
