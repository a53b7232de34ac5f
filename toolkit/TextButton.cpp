#include "TextButton.h"

#include "GdiObjects.h"
#include "HighContrast.h"

namespace {

void DrawSystemFace(HDC dc, const RECT& client)
{
    FillOpaque(dc, client, ::GetSysColor(COLOR_BTNFACE));
    ScopedGdiObject<HBRUSH> border(::CreateSolidBrush(::GetSysColor(COLOR_BTNTEXT)));
    ::FrameRect(dc, &client, border.Get());
}

} // namespace

void CTextButton::SetTextColors(COLORREF color)
{
    for (COLORREF& slot : textColors)
        slot = color;
}

void CTextButton::DrawSelf(HDC dc, HDC scratch)
{
    RECT label{};
    ::GetClientRect(window, &label);
    if (HighContrastOn())
        DrawSystemFace(dc, label);
    else
        CImageButton::DrawSelf(dc, scratch);
    label.top += textOffset;
    // The colour slots follow the state numbers; the selected colour comes last.
    const COLORREF color = ContrastColour(textColors[selected ? 3 : state], COLOR_BTNTEXT);
    const COLORREF previous = ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, textFormat | DT_SINGLELINE);
    ::SetTextColor(dc, previous);
}

AccessibleFacts CTextButton::DescribeAccessible(long child) const
{
    AccessibleFacts facts = CImageButton::DescribeAccessible(child);
    if (!text.empty())
        facts.name = text;
    return facts;
}
