#include "HighContrast.h"

bool HighContrastOn()
{
    HIGHCONTRASTW contrast{sizeof contrast};
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

COLORREF ContrastColour(COLORREF normal, int systemIndex)
{
    return HighContrastOn() ? ::GetSysColor(systemIndex) : normal;
}

void FillOpaque(HDC dc, const RECT& rect, COLORREF colour)
{
    const COLORREF previous = ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, L"", 0, nullptr);
    ::SetBkColor(dc, previous);
}
