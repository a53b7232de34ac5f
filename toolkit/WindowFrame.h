#pragma once
#include <string>
#include <vector>

#include "AlphaWindow.h"
#include "CaptionFrame.h"

// A layered window with the frame: the setup window derives from
// CWndFrameBase<CMainDlg> and draws its content in DrawContent.
template <class T>
class CWndFrameBase : public CAlphaWndBase<T>, public CCaptionFrame {
public:
    // Set as the window text at creation and drawn in the caption bar.
    std::wstring title;

    ~CWndFrameBase() override { this->DestroyAlphaWindow(); }

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override
    {
        if (CAlphaWndBase<T>::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
            return true;
        if (mapId != 0)
            return false;
        if (message == WM_CREATE) {
            ::SetWindowTextW(hwnd, title.c_str());
            CreateTitleButtons(hwnd, *this);
            return false;
        }
        return HandleFrameMessage(hwnd, *this, message, wParam, lParam, result);
    }

    void DrawFrame(HDC dc, const RECT& content) override
    {
        PaintFrame(dc, content, title, this->dpi);
        DrawContent(dc, content);
        this->DrawControls(dc);
    }
};

// A layered dialog with the frame; the caption shows the window text and the
// minimise button is hidden. The message box derives from CDlgFrameBase<CMessageBox>.
template <class T>
class CDlgFrameBase : public CAlphaDlgBase<T>, public CCaptionFrame {
public:
    ~CDlgFrameBase() override { this->DestroyAlphaWindow(); }

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override
    {
        if (CAlphaDlgBase<T>::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
            return true;
        if (mapId != 0)
            return false;
        switch (message) {
        case WM_INITDIALOG:
            CreateTitleButtons(hwnd, *this);
            minimizeButton.SetVisible(false);
            this->ComposeAndUpdate();
            return false;
        case WM_SIZE:
            MoveTitleButtons(WindowWidth(hwnd), this->dpi);
            return false;
        default:
            return HandleFrameMessage(hwnd, *this, message, wParam, lParam, result);
        }
    }

    void DrawFrame(HDC dc, const RECT& content) override
    {
        PaintFrame(dc, content, WindowText(), this->dpi);
        DrawContent(dc, content);
        this->DrawControls(dc);
    }

private:
    std::wstring WindowText() const
    {
        const int length = ::GetWindowTextLengthW(this->window);
        std::vector<wchar_t> text(length + 1);
        ::GetWindowTextW(this->window, text.data(), length + 1);
        return std::wstring(text.data());
    }
};
