#pragma once
#include <cstdint>
#include <string>

class CHtmlParser;
class CHtmlTag;

struct ImportDefaults {
    std::uint32_t colour = 0;
    int size = 90;
};

// Leading hex digits 0xRRGGBB as a COLORREF (red and blue swapped); 0 without digits.
std::uint32_t HexToColour(const std::wstring& digits);

// Gives the enclosed objects the meaning of every closed tag, in closing order, so an
// enclosing font tag overrides whatever a nested one set.
void ApplyImportTags(const CHtmlParser& parser, const ImportDefaults& defaults);

// The characters that importing `markup` puts into a document, pictures left out:
// mark-up without any content object is inserted as itself.
std::wstring MarkupPlainText(const std::wstring& markup);
