#pragma once
#include <windows.h>

// Private messages between layered windows and the controls they host.
//
// WM_ALPHA_REDRAW: recompose now (wParam 0): the whole window for lParam 0, or only the
//   area lParam points to, a RECT in the top-level window's client coordinates. A
//   control forwards it to its parent unchanged.
// WM_ALPHA_TO_CLIENT: wParam = the asking child window, lParam = POINT* in screen
//   coordinates, converted in place to the top-level window's client coordinates.
// WM_ALPHA_VISIBLE_RECT: lParam = RECT* to fill with the part of the receiver that is
//   visible, in top-level client coordinates.
constexpr UINT WM_ALPHA_REDRAW = 0x0464;
constexpr UINT WM_ALPHA_TO_CLIENT = 0x0465;
constexpr UINT WM_ALPHA_VISIBLE_RECT = 0x0466;

// WM_ALPHA_ACCESSIBLE_CALL: lParam = const std::function<void()>*, run on the window's
//   thread for a screen reader's call that arrived on another (see AccessibleServer).
// WM_ALPHA_PRESS: posted to a control to press it as Space or Enter would (the default
//   action of assistive technology).
constexpr UINT WM_ALPHA_ACCESSIBLE_CALL = 0x0467;
constexpr UINT WM_ALPHA_PRESS = 0x0468;
