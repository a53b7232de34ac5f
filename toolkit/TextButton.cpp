#include "TextButton.h"

void CTextButton::SetTextColors(COLORREF color)
{
    for (COLORREF& slot : textColors)
        slot = color;
}

void CTextButton::DrawSelf(HDC dc, HDC scratch)
{
    CImageButton::DrawSelf(dc, scratch);
    RECT label{};
    ::GetClientRect(window, &label);
    label.top += textOffset;
    // The colour slots follow the state numbers; the selected colour comes last.
    const COLORREF color = textColors[selected ? 3 : state];
    const COLORREF previous = ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, textFormat | DT_SINGLELINE);
    ::SetTextColor(dc, previous);
}
