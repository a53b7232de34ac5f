#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "AlphaWindow.h"
#include "QEdit.h"

// A layered window, opaque grey, hosting two edit fields: `edit` under test and `other`,
// which takes the focus away. `configure` runs on `edit` before it is created.
class EditTestWindow : public CAlphaWndBase<EditTestWindow> {
public:
    static constexpr COLORREF Fill = RGB(230, 230, 230);
    static constexpr int EditLeft = 20;
    static constexpr int EditTop = 20;

    CQEdit edit;
    CQEdit other;
    std::function<void(CQEdit&)> configure;
    int editWidth = 300;
    int editHeight = 24;

    ~EditTestWindow() override { DestroyAlphaWindow(); }

    HWND Open() { return CreateAlphaWindow(100, 100, 400, 300, nullptr, false, true); }

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override
    {
        if (CAlphaWndBase<EditTestWindow>::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
            return true;
        if (message == WM_CREATE) {
            suspendRedraw = true;
            if (configure)
                configure(edit);
            edit.Create(hwnd, EditLeft, EditTop, EditLeft + editWidth, EditTop + editHeight, 300);
            other.Create(hwnd, 20, 240, 200, 264, 301);
            AddControl(&edit);
            AddControl(&other);
            suspendRedraw = false;
            ComposeAndUpdate();
        }
        return false;
    }

    void DrawFrame(HDC dc, const RECT& content) override
    {
        HBRUSH brush = ::CreateSolidBrush(Fill);
        ::FillRect(dc, &content, brush);
        ::DeleteObject(brush);
        CAlphaWndBase<EditTestWindow>::DrawFrame(dc, content);
    }
};

// Real input through the system's queue.
void PressKey(WORD key);
// `key` with Control held.
void PressControlKey(WORD key);
void PressShiftKey(WORD key);
// Every character as a Unicode key press.
void TypeText(const std::wstring& text);
void TurnWheel(int delta);

// The clipboard as other programs see it.
std::wstring ClipboardText();
bool ClipboardHas(UINT format);
void PutClipboardText(const std::wstring& text);

// Screen point of a client point of `window`.
POINT ScreenPoint(HWND window, int x, int y);
// Clicks at a client point of `window`, through the real mouse.
void ClickClient(HWND window, int x, int y);
