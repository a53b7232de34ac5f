#pragma once
#include <windows.h>

// Lengths of the interface are given at 96 dots per inch (100 %) and scaled by dpi / 96
// for the window they are drawn in.
constexpr UINT DefaultDpi = 96;

// One rounding rule for every length and coordinate: v x dpi / 96, halves rounded up
// (away from zero). Rectangles scale their four edges, not their origin and size, so
// edges that meet at 100 % still meet at any scale.
int ScaleLength(int length, UINT dpi);
RECT ScaleRect(const RECT& rect, UINT dpi);

// The window's dots per inch (GetDpiForWindow where the system has it), else the
// system's.
UINT WindowDpi(HWND window);
// The system's dots per inch: where a window not yet created will most likely open.
UINT SystemDpi();

// The user-interface font, "宋体" at 9 points, for a window at `dpi`.
HFONT CreateInterfaceFont(UINT dpi);
