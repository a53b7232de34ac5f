#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AccessibleObject.h"

class CAlphaSurface;

// Pixels of a 32-bit bitmap, top row first, 0xAARRGGBB.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap);
// What the screen shows in `area` (screen coordinates), top row first.
std::vector<uint32_t> ScreenPixels(const RECT& area);

// Writes the window's back buffer as a 32-bit BMP into the screenshot folder
// (TESSAMO_SCREENSHOT_DIR, a Windows path, or C:\screenshots) and returns its path.
std::wstring SaveBackBuffer(const CAlphaSurface& surface, const std::wstring& name);

// Real input through the system's queue, in screen coordinates.
void MoveMouseTo(int x, int y);
void PressMouse();
void ReleaseMouse();
void ClickAt(int x, int y);

// Centre of a window in screen coordinates.
POINT CentreOf(HWND hwnd);

uint32_t Alpha(uint32_t pixel);
uint32_t Rgb(uint32_t pixel);
// A COLORREF as an opaque buffer pixel, 0xAARRGGBB.
uint32_t OpaquePixel(COLORREF color);

// A premultiplied picture pixel blended over an opaque background, as AlphaBlend does.
uint32_t Over(uint32_t picture, uint32_t background);
// Channels within 2 of each other (AlphaBlend rounds).
bool NearPixel(uint32_t a, uint32_t b);

// One key going down or up through the system's queue.
void SendKey(WORD key, bool up);
// One key pressed and released through the system's queue, with `modifier` held (0: none).
void SendKeyPress(WORD key, WORD modifier = 0);

// What assistive technology reads of one accessible element.
struct AccessibleElement {
    std::wstring name;
    long role = 0;
    long state = 0;
    std::wstring value;
    std::wstring description;
    std::wstring defaultAction;
};
// The window's own element (OBJID_CLIENT), or `child` of it.
AccessibleElement AccessibleElementOf(HWND window, long child = CHILDID_SELF);
// The window's accessible children in order, as AccessibleChildren gives them.
std::vector<AccessibleElement> AccessibleChildrenOf(HWND window);

// While it lives, SPI_GETHIGHCONTRAST reports high contrast on to this program's own
// calls (the system keeps it off: this Wine does not implement SPI_SETHIGHCONTRAST), and
// the system colours are set to `colours`, as a high-contrast scheme would set them.
class ScopedHighContrast {
public:
    ScopedHighContrast(std::vector<int> elements, std::vector<COLORREF> colours);
    ~ScopedHighContrast();
    ScopedHighContrast(const ScopedHighContrast&) = delete;
    ScopedHighContrast& operator=(const ScopedHighContrast&) = delete;

private:
    std::vector<int> elements;
    std::vector<COLORREF> previous;
};
