#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Widths and heights for the layout; the message box answers from its DC, tests from
// fixed tables.
class CharMeasure {
public:
    virtual ~CharMeasure() = default;
    virtual int TextHeight() const = 0;
    virtual int AverageCharWidth() const = 0;
    // Extent of one character drawn alone.
    virtual SIZE CharExtent(wchar_t ch) const = 0;
};

// Character-by-character layout of the message box text: one cell per UTF-16 code
// unit, wrapped at the cell that would touch the right edge (x + width >= right),
// lines ended by LF or by a CR that is followed by something other than LF. Cells of a
// line share a common bottom line. Only whole lines inside the bounds are drawn; when
// text is cut, the last of them ends with an ellipsis so the reader sees it.
class MessageTextLayout {
public:
    // Bit 2: centre the text block vertically inside the bounds.
    static constexpr unsigned CenterVertically = 4;
    static constexpr wchar_t Ellipsis = L'\u2026';

    struct Cell {
        wchar_t ch;
        int x, y, width, height;
    };
    struct Line {
        int top, bottom;
        size_t first, last;
        int width;
    };

    std::vector<Cell> cells;
    // Metrics of the font last measured with; 0 until the first measuring.
    int cachedTextHeight = 0;
    int cachedAverageWidth = 0;
    // Extra pixels below every line, and added to every cell width.
    int lineGap = 0;
    int charSpacing = 0;
    unsigned flags = 0;
    RECT bounds{};
    // Added to every cell's y when drawing; the result of vertical centring.
    int verticalOffset = 0;
    std::vector<Line> lines;
    // Cells [0, drawnCells) are drawn: the lines that lie wholly inside the bounds once
    // moved by the vertical offset, less room for the ellipsis when text is cut.
    size_t drawnCells = 0;
    // Placed after the last drawn cell when text is cut, on that cell's bottom line.
    bool ellipsisShown = false;
    Cell ellipsis{Ellipsis, 0, 0, 0, 0};

    // One cell per code unit; forgets the cached metrics so the next Update measures.
    void SetText(const std::wstring& text);
    // New bounds; like a new text, they are laid out at the next Update.
    void SetBounds(const RECT& box);
    // Measures every cell and lays out again when the font metrics differ from the
    // cached ones; true when it did.
    bool Update(const CharMeasure& measure);
    // Places the already measured cells inside `bounds`.
    void Layout(int textHeight);

private:
    bool EndsLine(size_t index) const;
    void AddLine(int top, int height, size_t first, size_t last, int x);
    // Decides what is drawn: whole lines inside the bounds, then the ellipsis.
    void FitIntoBounds();
    int LineHeight(const Line& line) const { return line.bottom - lineGap - line.top; }
};
