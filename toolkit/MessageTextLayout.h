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
// line share a common bottom line.
class MessageTextLayout {
public:
    // Bit 2: centre the text block vertically inside the bounds.
    static constexpr unsigned CenterVertically = 4;

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

    // One cell per code unit; forgets the cached metrics so the next Update measures.
    void SetText(const std::wstring& text);
    // New bounds; like a new text, they are laid out at the next Update.
    void SetBounds(const RECT& box);
    // Measures every cell and lays out again when the font metrics differ from the
    // cached ones; true when it did.
    bool Update(const CharMeasure& measure);
    // Places the already measured cells inside `bounds`.
    void Layout(int textHeight);
    // Whether a cell lies within the drawable band (bottom not above 0, top not below
    // the bounds' bottom).
    bool IsCellDrawn(const Cell& cell) const;

private:
    bool EndsLine(size_t index) const;
    void AddLine(int top, int height, size_t first, size_t last, int x);
};
