#pragma once
#include <vector>

struct RichElement;

// Indices where lines start: 0 and every index right after a line feed, within the
// document.
std::vector<int> LineStarts(const std::vector<RichElement*>& elements);

// The first line start after `index` (0 or more): the index right after the next line
// feed at or after `index`, within the document; -1 when there is none.
int NextLineStart(const std::vector<RichElement*>& elements, int index);

// The number at a line start: 1 to `maxDigits` digits followed by a full stop. Returns
// the digit count and stores the value, or 0 when the line is not numbered.
int ReadLineNumber(const std::vector<RichElement*>& elements, int start, int maxDigits,
                   int* value);

// When the caret follows a list number at a line start after a line feed ("\n12."), the
// count of its digits; else 0.
int ListNumberBeforeIndex(const std::vector<RichElement*>& elements, int caret);
