#pragma once
#include "RichTypes.h"
#include "SharedString.h"

// What InsertText applies to every character it inserts.
struct RichStyle {
    SharedString face;
    int size = 90;  // tenths of a point
    COLORREF textColour = 0;
    COLORREF backgroundColour = 0;
    int transparentBackground = 1;
    int bold = 0;
    int underline = 0;
    int strikeout = 0;
    int italic = 0;
    SharedString link;
};

// The font height for a size in tenths of a point. Tenths are dropped first, so 90 to
// 99 all give a 9-point font.
int FontHeightForSize(int size, int dpi);

// Measures characters one at a time in the font chosen last.
class IRichMeasurer {
public:
    virtual ~IRichMeasurer() = default;
    virtual void SelectFont(const SharedString& face, int size, int bold, int italic,
                            int underline, int strikeout) = 0;
    virtual SIZE MeasureCharacter(wchar_t character) = 0;
    // Back to the default font; the cached font is released.
    virtual void DropCachedFont() = 0;
    virtual int DefaultLineHeight() const = 0;
    virtual int WidestCharacter() const = 0;
};
