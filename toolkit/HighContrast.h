#pragma once
#include <windows.h>

// Whether the user asked for high contrast (SPI_GETHIGHCONTRAST). Read at every drawing,
// so a window shows a change as soon as it recomposes on WM_SYSCOLORCHANGE or
// WM_SETTINGCHANGE.
bool HighContrastOn();

// `normal` outside high contrast; in it, the system colour `systemIndex` (GetSysColor),
// which keeps text readable on the ground the system pairs it with.
COLORREF ContrastColour(COLORREF normal, int systemIndex);

// Fills `rect` with one colour (an opaque ExtTextOutW), leaving the DC's colours as they were.
void FillOpaque(HDC dc, const RECT& rect, COLORREF colour);
