#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "AccessibleObject.h"
#include "KeyboardFocus.h"
#include "DisplayScale.h"
#include "NineGridImage.h"

class CQCtrlBase;

// Width of the drop shadow on every side of a shadowed layered window, at 100 %.
constexpr int ShadowMargin = 8;

// The probe buffer's value before drawing; a pixel the drawing left at exactly this
// value counts as untouched.
constexpr uint32_t ProbeFill = 0x01010101;
// GDI writes colour with alpha 0: every back-buffer pixel whose probe pixel the drawing
// touched becomes opaque, keeping its colour, which for alpha 255 is its premultiplied
// value. Untouched pixels keep what lay under the drawing (the shadow, or nothing).
void MakeTouchedOpaque(const uint32_t* probe, uint32_t* back, size_t pixelCount);

// The part of a layered window that does not depend on the final class: the two
// composition buffers, the window font, the shadow and the hosted controls.
//
// Every visible change ends in a composition: ComposeAndUpdate renders the whole window,
// ComposeArea only the part a control's change touches, and either hands what it
// rendered to UpdateLayeredWindowIndirect. DrawFrame is called twice per composition,
// first into the probe buffer (to learn which pixels the drawing touches) and then into
// the back buffer, so it must draw the same pixels both times; a partial composition
// runs the same drawing clipped to its area, which leaves every pixel inside it as a
// whole composition would. Each drawing starts from the buffer DC's state as
// CreateBuffers left it.
//
// The surface also answers for the window to the keyboard (Tab order, focus cue) and to
// assistive technology: its accessible object lists the controls, Tab order first.
class CAlphaSurface : public AccessibleSource {
public:
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    HDC backDC = nullptr;
    HDC probeDC = nullptr;
    HBITMAP backBitmap = nullptr;
    HBITMAP probeBitmap = nullptr;
    uint32_t* backBits = nullptr;
    uint32_t* probeBits = nullptr;
    // The window's dots per inch; every length of the window is scaled by dpi / 96.
    UINT dpi = DefaultDpi;
    // "宋体", 9 points at `dpi`; selected into both buffers.
    HFONT font = nullptr;
    // 8-pixel drop-shadow margin on every side.
    bool shadow = false;
    // While set, ComposeAndUpdate does nothing: requests are dropped, not queued.
    bool suspendRedraw = false;
    NineGridImage shadowImage;
    // Hosted controls, drawn in this order; members of the window object, not owned.
    std::vector<CQCtrlBase*> controls;
    CKeyboardFocus keyboard;

    CAlphaSurface();
    virtual ~CAlphaSurface();
    CAlphaSurface(const CAlphaSurface&) = delete;
    CAlphaSurface& operator=(const CAlphaSurface&) = delete;

    // Appends a control unless it is already in the list.
    void AddControl(CQCtrlBase* control);
    // Renders the whole window and pushes it.
    void ComposeAndUpdate();
    // Renders only `area` (client coordinates) and pushes that part; the rest keeps its
    // picture. The whole window is rendered instead while the back buffer lacks part of
    // the current picture (new buffers, a request dropped while suspended).
    void ComposeArea(const RECT& area);
    // (Re)creates the buffers at the window's current size.
    void CreateBuffers();
    void FreeBuffers();

    // The window rectangle at the origin, less the shadow margin when `shadow` is set.
    RECT ContentRect() const;
    RECT ContentRectFor(SIZE windowSize) const;
    // A length at 100 % scaled for the window.
    int Scaled(int length) const { return ScaleLength(length, dpi); }
    // The shadow margin on every side at the window's scale; 0 without a shadow.
    int ShadowWidth() const { return shadow ? Scaled(ShadowMargin) : 0; }
    // Takes a new scale: the font and the shadow picture are made for it. The caller
    // lays out and recomposes.
    void ApplyDpi(UINT newDpi);
    // Back-buffer pixel (x, y) from the top-left, 0xAARRGGBB premultiplied; 0 outside.
    uint32_t BackPixel(int x, int y) const;
    SIZE BufferSize() const;

    // Draws the hosted controls (the layered bases draw nothing else).
    virtual void DrawFrame(HDC dc, const RECT& content);
    // Drawn into the back buffer only, under the frame; empty here.
    virtual void DrawUnderlay(HDC dc, const RECT& content);

    // The window by its text, as a client area.
    AccessibleFacts DescribeAccessible(long child) const override;
    std::vector<HWND> AccessibleChildWindows() const override;

protected:
    virtual HWND SurfaceWindow() const = 0;

    // Every hosted control draws itself, in list order, through one scratch DC.
    void DrawControls(HDC dc);
    // Loads the shadow picture for `dpi` (corners half its size); false when it cannot be
    // loaded.
    bool AttachShadowPicture();

    // Message handling shared by the layered window and dialog bases.
    bool HandleWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result);
    bool HandleDialogMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result);
    bool HandleToolkitMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result);

    // Turns a created window into a caption-less layered window (flags for SetWindowPos
    // follow `insertAfter`).
    static void RemoveCaption(HWND hwnd, HWND insertAfter);

private:
    bool HandleAssistanceMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                 LRESULT& result);

    AccessibleServer accessible{*this};

    // What the cached shadow layer was drawn for.
    struct ShadowLayerKey {
        HBITMAP picture = nullptr;
        SIZE windowSize{};
        SIZE bufferSize{};
        bool operator==(const ShadowLayerKey& other) const;
    };

    // The bitmaps the buffer DCs were created with, selected back before deletion.
    HGDIOBJ backDCOriginal = nullptr;
    HGDIOBJ probeDCOriginal = nullptr;
    // Set while the back buffer lacks part of the current picture.
    bool wholeWindowPending = true;
    // The back buffer's starting picture, transparent but for the drop shadow, which
    // changes only with the size; empty when there is no shadow picture to draw.
    std::vector<uint32_t> shadowLayer;
    ShadowLayerKey shadowLayerKey;

    void Compose(const RECT* area);
    // Redraws the shadow layer when the size or the picture changed since it was drawn.
    void RefreshShadowLayer(HDC windowDC, SIZE windowSize);
    // Back buffer to the shadow layer and probe buffer to ProbeFill, inside `area`.
    void ResetArea(const RECT& area);
    void MakeAreaOpaque(const RECT& area);
    void Push(HDC windowDC, SIZE windowSize, const RECT* dirty);
    bool WindowRectEmpty(HWND hwnd) const;
    void Paint(HWND hwnd);
};
