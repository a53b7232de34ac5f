#pragma once
#include <string>
#include <vector>

struct RichElement;

// The opening font tag for one character element.
void WriteFontTag(const RichElement& element, std::wstring& out);

// The elements as HTML-lite mark-up. With `selectionOnly`, unselected elements are
// skipped as if absent, and a run of characters ignores changes of size and face.
std::wstring ExportElements(const std::vector<RichElement*>& elements, bool selectionOnly);

// COLORREF 0x00BBGGRR as the six hex digits rrggbb.
std::wstring ColourToHex(unsigned long colour);
