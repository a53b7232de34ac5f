#pragma once
#include <windows.h>

#include "AlphaSurface.h"
#include "DialogImpl.h"
#include "WindowImpl.h"

// A borderless popup window with per-pixel alpha, drawn entirely by the program
// (see CAlphaSurface). T is the final class.
//
// Message handling: the layered base first (WM_CREATE sets suspendRedraw and creates
// the buffers; WM_SIZE, WM_PAINT and WM_ALPHA_REDRAW recompose; WM_ALPHA_TO_CLIENT and
// WM_ALPHA_VISIBLE_RECT answer the hosted controls), then the derived levels.
//
// A final class that owns controls destroys its window at the start of its own
// destructor (DestroyAlphaWindow), so the controls go with a live window.
template <class T>
class CAlphaWndBase : public CWindowImpl<T>, public CAlphaSurface {
public:
    CAlphaWndBase() = default;
    ~CAlphaWndBase() override { DestroyAlphaWindow(); }

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override
    {
        if (CWindowImpl<T>::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
            return true;
        if (mapId != 0)
            return false;
        return HandleWindowMessage(hwnd, message, wParam, lParam, result);
    }

    // Creates the popup at the given screen rectangle. With `withShadow` the window
    // grows by the shadow margin (8 pixels at 100 %) on every side (when the shadow
    // picture loads); `taskbarButton` gives it a taskbar button.
    HWND CreateAlphaWindow(int left, int top, int width, int height, HWND insertAfter,
                           bool withShadow, bool taskbarButton)
    {
        DWORD exStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW;
        if (taskbarButton)
            exStyle |= WS_EX_APPWINDOW;
        shadow = withShadow;
        RECT rect{left, top, left + width, top + height};
        if (shadow && AttachShadowPicture())
            rect.right += 2 * ShadowWidth(), rect.bottom += 2 * ShadowWidth();
        HWND hwnd = this->Create(nullptr, rect, L"AlphaWindow", WS_VISIBLE, exStyle);
        if (hwnd) {
            RemoveCaption(hwnd, insertAfter);
            // Creation cuts a window to the screen before this object hears of it (see
            // WM_GETMINMAXINFO); a large scale on a small screen must not cut it.
            ::SetWindowPos(hwnd, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return hwnd;
    }

    // Destroys the window if it still exists; the hosted controls are forgotten first.
    void DestroyAlphaWindow()
    {
        controls.clear();
        if (this->window && ::IsWindow(this->window))
            ::DestroyWindow(this->window);
    }

protected:
    HWND SurfaceWindow() const override { return this->window; }
};

// A modeless dialog from the template T::IDD, turned into a caption-less layered tool
// window with a shadow at WM_INITDIALOG. `modal` and `result` serve the modal runner:
// WM_COMMAND 1 or 2 closes the dialog with that result and re-enables the owner.
template <class T>
class CAlphaDlgBase : public CDialogImpl<T>, public CAlphaSurface {
public:
    // Set by the modal runner; closing then re-enables the owner.
    bool modal = false;
    // The command id that closed the dialog (1 or 2); 0 until then.
    int result = 0;

    CAlphaDlgBase() { shadow = true; }
    ~CAlphaDlgBase() override { DestroyAlphaWindow(); }

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lresult,
                       DWORD mapId) override
    {
        if (CDialogImpl<T>::HandleMessage(hwnd, message, wParam, lParam, lresult, mapId))
            return true;
        if (mapId != 0)
            return false;
        if (message == WM_COMMAND && (wParam == 1 || wParam == 2)) {
            Close(static_cast<int>(wParam));
            return true;
        }
        return HandleDialogMessage(hwnd, message, wParam, lParam, lresult);
    }

    void DestroyAlphaWindow()
    {
        controls.clear();
        if (this->window && ::IsWindow(this->window))
            ::DestroyWindow(this->window);
    }

protected:
    HWND SurfaceWindow() const override { return this->window; }

    void Close(int commandId)
    {
        HWND owner = ::GetParent(this->window);
        if (modal && owner)
            ::EnableWindow(owner, TRUE);
        ::DestroyWindow(this->window);
        result = commandId;
    }
};
