#pragma once
#include <windows.h>
#include <optional>
#include <string>

#include "DisplayScale.h"
#include "GdiMeasurer.h"
#include "RichModel.h"

// The rich text engine on a window it does not own: GDI measuring, painting into the
// host's device context, the caret and its blink. The host paints the background, then
// calls Paint, and forwards focus and timer messages.
class CRichDraw : public CRichModel {
public:
    static constexpr UINT_PTR DragTimer = 1000;
    static constexpr UINT_PTR SmoothScrollTimer = 1001;
    static constexpr UINT DragMilliseconds = 100;
    static constexpr UINT SmoothScrollMilliseconds = 20;
    // Posted (no parameters) when smooth scrolling comes to rest.
    static constexpr UINT ScrollSettledMessage = 0x084D;
    // The engine's own mark-up on the clipboard; a fixed private format number.
    static constexpr UINT MarkupClipboardFormat = 0x0201;
    static constexpr UINT_PTR BlinkTimer = 1002;
    static constexpr UINT BlinkMilliseconds = 500;
    static constexpr COLORREF SelectionColour = 0x00C56A31;

    CRichDraw();
    ~CRichDraw() override;

    // Clipboard: plain Unicode text plus the engine's mark-up. Masked text is never
    // copied or cut.
    virtual bool IsClipboardEmpty();
    virtual void Paste();
    virtual void Copy();

    // Takes the window's client area, inset by 2 pixels left and right, as the text
    // rectangle.
    void Attach(HWND host);
    HWND Window() const { return window; }

    // Paints into `dc`; pictures are blitted through the host's memory context
    // `bitmapDc`. With `textColour` every character and the caret take that colour
    // instead of their own (high contrast).
    void Paint(HDC dc, HDC bitmapDc, std::optional<COLORREF> textColour = std::nullopt);

    // Takes over `bitmap` when it is a bitmap and the document has room; false
    // otherwise, and the caller keeps it.
    bool InsertImage(HBITMAP bitmap);
    bool InsertImage(HBITMAP bitmap, const std::wstring& path, const std::wstring& link);

    void SetReadOnly(bool flag);
    bool IsReadOnly() const { return readOnly; }
    void SetDragScroll(bool flag) { dragScroll = flag; }
    void SetInteractive(bool flag) { interactive = flag; }

    // Input forwarded by the host; points are client coordinates.
    void OnChar(wchar_t code);
    void OnKeyDown(UINT key);
    void OnKeyUp() {}
    void OnLButtonDown(WPARAM flags, POINT point);
    void OnLButtonUp(POINT point);
    void OnLButtonDblClk();
    void OnRButtonUp();
    void OnMouseMove(WPARAM flags, POINT point);
    void OnMouseWheel(WPARAM wParam);
    // True when the engine set the cursor.
    bool OnSetCursor();
    void OnVScroll(int code);
    // Shown while drag scrolling a read-only text taller than its rectangle.
    void SetDragCursor(HCURSOR cursor) { dragCursor = cursor; }
    bool IsDragging() const { return dragging; }
    const std::wstring& LastCopy() const { return lastCopy; }

    void OnFocusGained();
    void OnFocusLost();
    void StopBlink();
    // True when the timer was the engine's.
    bool OnTimer(UINT_PTR id);
    void MoveCaret(int x, int y, int height) override;

    int BlinkPhase() const { return blinkPhase; }
    bool HasSystemCaret() const { return caretCreated; }
    POINT CaretWindowPosition() const { return {caretX, caretY}; }
    int CaretHeight() const { return caretHeight; }
    const LOGFONTW& DefaultLogFont() const;
    // Fonts, caret and selection bar for a window at `dpi`; the text is measured again.
    void SetDpi(UINT dpi);

protected:
    bool HasWindow() const override { return window != nullptr; }
    void InvalidateView(bool erase) override;
    void UpdateScrollRange() override;
    void UpdateScrollPosition() override;
    BitmapRef ScaleImage(const BitmapRef& source, SIZE sourceSize, SIZE displaySize) override;
    SIZE ImageSize(const BitmapRef& source) const override;
    BitmapRef CopyPicture(const BitmapRef& source) override;

private:
    bool CaretFrozen() const { return readOnly && dragScroll; }
    // Elements wholly outside the text rectangle are skipped.
    bool MayBeVisible(const RichElement& element) const;
    bool HasFocus() const { return window && ::GetFocus() == window; }
    void StartBlink();
    bool Editable() const { return window && interactive && !readOnly; }
    bool Active() const { return window && interactive; }
    void OnControlKey(UINT key);
    void EndDrag();
    void OnDragTimer();
    void OnSmoothScrollTimer();
    void StartSmoothScroll();
    void SpringBack();
    void DragScrollBy(int dy);
    // Keyboard and wheel scrolling also tell the listener and the scroll bar.
    void ScrollAndReport(int horizontal, int vertical);
    void PasteMarkup(const std::wstring& markup);

    HWND window = nullptr;
    // Caret width, selection bar and clip margins are 1 and 2 pixels at 100 %.
    UINT dpi = static_cast<UINT>(CGdiMeasurer::Dpi());
    int caretX = 0;
    int caretY = 0;
    int caretHeight = 0;
    int blinkPhase = 0;
    bool caretCreated = false;
    bool mouseDown = false;
    bool dragging = false;
    POINT mousePoint{};
    double scrollTarget = 0;
    HCURSOR dragCursor = nullptr;
    std::wstring lastCopy;
};

// A screen-compatible copy of `source` stretched to `size` in halftone mode.
HBITMAP StretchBitmapHalftone(HBITMAP source, SIZE sourceSize, SIZE size);
