#pragma once
#include <windows.h>

#include "GdiHandles.h"
#include "RichStyle.h"

// Measures characters in a private memory device context. The last font is kept and
// reused while face, size, weight and slant stay the same: underline and strikeout do
// not change widths.
class CGdiMeasurer : public IRichMeasurer {
public:
    CGdiMeasurer();
    ~CGdiMeasurer() override;

    void SelectFont(const SharedString& face, int size, int bold, int italic, int underline,
                    int strikeout) override;
    SIZE MeasureCharacter(wchar_t character) override;
    void DropCachedFont() override;
    int DefaultLineHeight() const override { return defaultLineHeight; }
    int WidestCharacter() const override { return widestCharacter; }

    const LOGFONTW& DefaultLogFont() const { return defaultLogFont; }
    // The dots per inch the fonts are made for; the screen's until SetDpi.
    int FontDpi() const { return dpi; }
    // Makes the default font for `newDpi` and forgets the cached one; the engine
    // measures its elements again (CRichModel::MeasurerChanged).
    void SetDpi(int newDpi);
    // How many fonts were created for measuring so far.
    int FontsCreated() const { return fontsCreated; }

    // LOGPIXELSY of the screen, read once per process.
    static int Dpi();

private:
    void CreateDefaultFont();

    int dpi = Dpi();
    LOGFONTW defaultLogFont{};
    UniqueFont defaultFont;
    UniqueMemoryDc dc;
    HGDIOBJ originalFont = nullptr;
    int defaultLineHeight = 0;
    int widestCharacter = 0;

    struct CachedFont {
        std::wstring face;
        int bold = 0;
        int underline = 0;
        int strikeout = 0;
        int italic = 0;
        int size = 0;
        UniqueFont font;
    } cache;
    int fontsCreated = 0;
};

// The default description with a style's size (for `dpi`), weight, slant, lines and face.
LOGFONTW StyledLogFont(const LOGFONTW& base, const std::wstring& face, int size, int bold,
                       int italic, int underline, int strikeout, int dpi);
