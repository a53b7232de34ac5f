#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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
