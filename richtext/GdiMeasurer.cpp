#include "GdiMeasurer.h"

#include <cwchar>

#include "RichElement.h"

int CGdiMeasurer::Dpi()
{
    static const int dpi = [] {
        ScreenDc screen;
        return ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }();
    return dpi;
}

LOGFONTW StyledLogFont(const LOGFONTW& base, const std::wstring& face, int size, int bold,
                       int italic, int underline, int strikeout, int dpi)
{
    LOGFONTW font = base;
    font.lfHeight = FontHeightForSize(size, dpi);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = static_cast<BYTE>(italic ? 1 : 0);
    font.lfUnderline = static_cast<BYTE>(underline ? 1 : 0);
    font.lfStrikeOut = static_cast<BYTE>(strikeout ? 1 : 0);
    const std::wstring& name = face.empty() ? std::wstring(DefaultFaceName) : face;
    std::wcsncpy(font.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    font.lfFaceName[LF_FACESIZE - 1] = 0;
    return font;
}

CGdiMeasurer::CGdiMeasurer()
{
    dc.reset(::CreateCompatibleDC(nullptr));
    originalFont = ::GetCurrentObject(dc.get(), OBJ_FONT);
    CreateDefaultFont();
}

void CGdiMeasurer::SetDpi(int newDpi)
{
    if (newDpi == dpi || newDpi <= 0)
        return;
    dpi = newDpi;
    CreateDefaultFont();
}

void CGdiMeasurer::CreateDefaultFont()
{
    LOGFONTW request{};
    request.lfHeight = -::MulDiv(dpi, 90, 720);
    request.lfWeight = FW_NORMAL;
    request.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(request.lfFaceName, DefaultFaceName, LF_FACESIZE - 1);
    {
        UniqueFont probe(::CreateFontIndirectW(&request));
        if (!probe || !::GetObjectW(probe.get(), sizeof defaultLogFont, &defaultLogFont))
            defaultLogFont = request;
    }
    // The cached and the old default font leave the DC before they are deleted.
    ::SelectObject(dc.get(), originalFont);
    cache.font.reset();
    defaultFont.reset(::CreateFontIndirectW(&defaultLogFont));
    ::SelectObject(dc.get(), defaultFont.get());

    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.get(), &metrics);
    defaultLineHeight = defaultLogFont.lfHeight < 0 ? -defaultLogFont.lfHeight : defaultLogFont.lfHeight;
    widestCharacter = metrics.tmMaxCharWidth;
}

CGdiMeasurer::~CGdiMeasurer()
{
    ::SelectObject(dc.get(), originalFont);
}

void CGdiMeasurer::SelectFont(const SharedString& face, int size, int bold, int italic,
                              int underline, int strikeout)
{
    std::wstring faceName = face ? *face : std::wstring(DefaultFaceName);
    if (cache.font && cache.face == faceName && cache.size == size && cache.bold == bold &&
        cache.italic == italic) {
        ::SelectObject(dc.get(), cache.font.get());
        return;
    }
    LOGFONTW description =
        StyledLogFont(defaultLogFont, faceName, size, bold, italic, underline, strikeout, dpi);
    UniqueFont font(::CreateFontIndirectW(&description));
    if (!font)
        return;
    ::SelectObject(dc.get(), font.get());
    ++fontsCreated;
    cache.font = std::move(font);
    cache.face = faceName;
    cache.size = size;
    cache.bold = bold;
    cache.italic = italic;
    cache.underline = underline;
    cache.strikeout = strikeout;
}

SIZE CGdiMeasurer::MeasureCharacter(wchar_t character)
{
    SIZE size{};
    ::GetTextExtentPointW(dc.get(), &character, 1, &size);
    return size;
}

void CGdiMeasurer::DropCachedFont()
{
    ::SelectObject(dc.get(), defaultFont.get());
    cache.font.reset();
}
