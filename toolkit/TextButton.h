#pragma once
#include <string>

#include "ImageButton.h"

// An image button with a single-line label drawn over its pictures, in the font of
// the parent's buffer. Label colour per state: normal, pressed, hover, selected.
class CTextButton : public CImageButton {
public:
    std::wstring text;
    COLORREF textColors[4] = {};
    // Added to the top of the label rectangle.
    int textOffset = 0;
    // DrawTextW flags; DT_SINGLELINE is always added.
    UINT textFormat = 0;

    // In high contrast a plain face in the system's button colours replaces the pictures.
    void DrawSelf(HDC dc, HDC scratch) override;
    // Named by its label.
    AccessibleFacts DescribeAccessible(long child) const override;

    // None of the setters redraws.
    void SetText(const std::wstring& label) { text = label; }
    void SetTextColors(COLORREF color);
    void SetTextFormat(UINT flags) { textFormat = flags; }
};
