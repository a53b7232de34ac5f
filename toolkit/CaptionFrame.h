#pragma once
#include <windows.h>

#include <string>

#include "AlphaSurface.h"
#include "ImageButton.h"

// Command id of the minimise title button; the close button sends 2.
constexpr UINT MinimizeCommandId = 3000;
constexpr UINT CloseCommandId = 2;
// At 100 %; scaled with the window like every other length.
constexpr int CaptionHeight = 30;
constexpr COLORREF CaptionColor = 0x00BAFF;
constexpr COLORREF FrameBodyColor = 0xF0F0F0;

// The frame both layered window kinds wear: an opaque light-grey body, an amber
// caption bar 30 pixels high with a black title at (+10, +10), and close and minimise
// picture buttons in the top right corner. The user drags the window by the caption.
// In high contrast the body, the caption bar and the title take the system's colours.
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
    // Body, caption bar and title (the part of the frame under the content), at `dpi`;
    // leaves the DC's text colour at the content's.
    void PaintFrame(HDC dc, const RECT& content, const std::wstring& title, UINT dpi);
    // Close button at (W - 33, 14), minimise at (W - 58, 14), both 20 x 20 at 100 %,
    // with their pictures for the surface's scale.
    void CreateTitleButtons(HWND hwnd, CAlphaSurface& surface);
    // The title buttons placed for a window `width` pixels wide at `dpi`.
    void MoveTitleButtons(int width, UINT dpi);
    // Pictures and places of the title buttons for a new scale.
    void ScaleTitleButtons(int width, UINT dpi);
    // The final class places its content for the surface's new scale, in a window that
    // is about to take `windowSize`.
    virtual void LayoutForDpi(SIZE windowSize) {}
    // Minimise command, caption dragging and a new scale.
    bool HandleFrameMessage(HWND hwnd, CAlphaSurface& surface, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result);

private:
    // Moved to a monitor of another scale: everything is made and placed for `newDpi`
    // first, then the window takes the rectangle the system suggests and recomposes.
    void TakeDpi(HWND hwnd, CAlphaSurface& surface, UINT newDpi, const RECT& suggested);
};

// Window width in client coordinates.
int WindowWidth(HWND hwnd);
