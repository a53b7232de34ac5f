#pragma once

// The Windows value types the rich text core speaks in. A Windows build takes the real
// ones, so the drawing side hands its RECTs and SIZEs straight through; anywhere else
// they are defined here with the same fields and widths.
#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

using LONG = std::int32_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

struct SIZE {
    LONG cx;
    LONG cy;
};

// The arrow keys' virtual-key codes.
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
#endif
