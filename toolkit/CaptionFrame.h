#pragma once
#include <windows.h>

#include <string>

#include "AlphaSurface.h"
#include "ImageButton.h"

// Command id of the minimise title button; the close button sends 2.
constexpr UINT MinimizeCommandId = 3000;
constexpr UINT CloseCommandId = 2;
constexpr int CaptionHeight = 30;
constexpr COLORREF CaptionColor = 0x00BAFF;
constexpr COLORREF FrameBodyColor = 0xF0F0F0;

// The frame both layered window kinds wear: an opaque light-grey body, an amber
// caption bar 30 pixels high with a black title at (+10, +10), and close and minimise
// picture buttons in the top right corner. The user drags the window by the caption.
// The templates CWndFrameBase and CDlgFrameBase combine it with the layered bases.
class CCaptionFrame {
public:
    CImageButton closeButton;
    CImageButton minimizeButton;
    // The caption bar in client coordinates, from the last composition on.
    RECT captionRect{};
    COLORREF backgroundColor = FrameBodyColor;

    virtual ~CCaptionFrame() = default;

    // The final class's content, drawn over the body and under the controls.
    virtual void DrawContent(HDC dc, const RECT& content);

protected:
    // Body, caption bar and title (the part of the frame under the content).
    void PaintFrame(HDC dc, const RECT& content, const std::wstring& title);
    // Close button at (W - 33, 14), minimise at (W - 58, 14), both 20 x 20.
    void CreateTitleButtons(HWND hwnd, CAlphaSurface& surface);
    void MoveTitleButtons(HWND hwnd);
    // Minimise command and caption dragging.
    bool HandleFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result);
};
