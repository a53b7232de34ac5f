#pragma once
#include <vector>

#include "RichTypes.h"

struct RichElement;

constexpr int LayoutSingleLine = 0x20;
constexpr int LayoutCentreLines = 0x01;
constexpr int LayoutCentreVertically = 0x04;

struct LineRecord {
    int top = 0;
    int nextTop = 0;  // top + line height + line spacing
    int first = 0;
    int last = 0;
    int width = 0;  // from the text rectangle's left edge to the end of the last element
};

struct LayoutParams {
    RECT rect{};
    int flags = 0;
    int lineSpacing = 2;
    int defaultLineHeight = 12;
};

struct LayoutResult {
    std::vector<LineRecord> lines;
    int contentWidth = 0;   // single-line mode only
    int contentHeight = 0;
    int verticalCentring = 0;  // only with LayoutCentreVertically
    // How far the tallest line break stands above the top of its line: its own height
    // does not raise the line. Every other element lies within its line.
    int breakRise = 0;
};

// Places every element and breaks the lines; widths and heights are already measured.
// There is no word wrap: a line may break between any two elements.
LayoutResult LayoutElements(const std::vector<RichElement*>& elements, const LayoutParams& params);

struct ElementSpan {
    int first = 0;
    int last = 0;  // one past the last element
};

// The elements that may show between the content rows `top` and `bottom`: those of
// the lines from the first whose bottom reaches `top` to the last whose top, raised by
// `breakRise`, reaches `bottom`. The line tops must not go back up, as with a line
// spacing of 0 or more.
ElementSpan ElementsInRows(const std::vector<LineRecord>& lines, int top, int bottom,
                           int lineSpacing, int breakRise);

struct CaretSpot {
    int index = 0;
    int x = 0;
    int y = 0;
    int height = 0;
};

// Where the caret stands for an index (content coordinates). The caret never stands
// between a carriage return and its line feed; `previousIndex` says which way it moves.
CaretSpot PlaceCaret(const std::vector<RichElement*>& elements, int index, int previousIndex,
                     const LayoutParams& params);

// A picture's display size: fitted into a square of `largestSide`, keeping the aspect.
SIZE FitImageSize(SIZE source, int largestSide);

// The largest picture side for a text rectangle width: 80 percent, within 40..150.
int LargestImageSideForWidth(int width);
